#pragma once
// Names where the command line asks for ids: a control by the label the user sees beside it
// (or its own caption), a condition-grid row by its row name. Widget-free: it matches a name
// against plain lists, so the rules are tested on their own.
//
// A name matches a label when both are equal, or else when they are equal once spaces around
// them and one trailing colon (ASCII ":" or full-width "：") are dropped from each: "条件",
// "条件:" and "条件：" all name the control labelled "条件:". An exact match wins over a
// match without the colon.
#include <QList>
#include <QString>
#include <QStringList>

namespace zq::tool {

struct NamedControl {
    int id = -1;
    QString kind;    // "edit", "combo", "grid", ... (ControlCatalog)
    QString label;
};

struct NameLookup {
    enum class Result { Found, Unknown, Ambiguous };
    Result result = Result::Unknown;
    qsizetype found = -1;            // index into the list searched, when Found
    QList<qsizetype> candidates;     // Ambiguous: the matches; Unknown: every entry worth naming
};

class ControlNames {
public:
    // The label as compared: without surrounding spaces and one trailing colon.
    static QString normalized(const QString& label);

    // The control the name stands for. Among several matches those of the wanted kinds win;
    // an unknown name lists the labelled controls of those kinds (all kinds when none are given).
    static NameLookup findControl(const QList<NamedControl>& controls, const QString& name,
                                  const QStringList& wantedKinds = {});
    // The grid row the name stands for, among the grid's row names.
    static NameLookup findRow(const QStringList& rowNames, const QString& name);

    // "1256 条件:, 1204 日期:" and "0 图号, 1 图名": the candidates as a message lists them.
    static QString listControls(const QList<NamedControl>& controls, const QList<qsizetype>& which);
    static QString listRows(const QStringList& rowNames, const QList<qsizetype>& which);
};

} // namespace zq::tool
