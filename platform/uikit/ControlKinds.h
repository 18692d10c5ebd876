#pragma once
// What a control is called in zqpdm-search's words, the words --describe prints: its kind, its
// caption or label, and the two with its id for messages (combo 1256 "条件").
#include <QString>

class QWidget;

namespace zq {

// "edit", "combo", "check", "radio", "date", "grid", "list", "button", "text", "group", "frame",
// "tabs", "tree" or "other".
QString ControlKindName(const QWidget& control);
// Its own caption (button, check box, radio button, group box) without "&" mnemonics, else the
// static placed before it.
QString ControlCaption(const QWidget& control);
// Kind, id and caption: combo 1256 "条件".
QString DescribeControl(const QWidget& control);

} // namespace zq
