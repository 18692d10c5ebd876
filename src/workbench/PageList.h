#pragma once
// The page list "\Support\Search.cfg" of the client installation: one tab caption per line, in
// tab order. Reading it is kept apart from creating the pages so any file can be checked cheaply.
#include "PageRegistry.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace zq {

// Tabs beyond this many are not created: a page list that repeats a caption endlessly (a
// damaged or generated file) would otherwise create pages until memory runs out.
inline constexpr int kMaxPageTabs = 64;

// The page list of the installation: the installation directory followed by "\Support\Search.cfg".
QString PageListPath();

// The lines of a page list file (GBK, or UTF-8), line ends removed and nothing else trimmed;
// nullopt when the file cannot be opened or read.
std::optional<QStringList> ReadPageList(const QString& path);
QStringList PageListLines(const QString& text);

// The known page a line names: the whole line compared with the captions, ASCII letters
// ignoring case; null for any other line.
const KnownPage* FindKnownPage(const QString& line);

} // namespace zq
