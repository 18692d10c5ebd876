#pragma once
// The recent name patterns of the "数据视图项" page, kept in "RNDS\SPT\search.ini": a plain GBK
// text file (not an INI file) of blocks "[查询名称]", one pattern a line, "[名称结束]".
#include <QString>
#include <QStringList>

namespace zq::document {

// How many patterns the list keeps once a new one is remembered.
inline constexpr int kRecentPatternCount = 10;

// The full path of the file inside the installation.
QString SavedPatternsPath();

// The patterns of every block, in file order; lines outside blocks are ignored and a block
// without its end line ends with the file. None when the file cannot be read.
QStringList ReadSavedPatterns(const QString& path);

// Writes one block with the patterns in order; false when the file cannot be written.
bool WriteSavedPatterns(const QString& path, const QStringList& patterns);

// Remembers the pattern of a search in a list shown top first: nothing happens when the list
// holds it already (letters compared without case); otherwise it goes on top, after the last
// entry has been dropped when more than nine are there. True when the list changed.
bool RememberPattern(QStringList& patterns, const QString& pattern);

} // namespace zq::document
