#pragma once
// The synthetic archive of the content benchmark: technical texts made from a fixed vocabulary by
// a fixed random sequence, with words planted in known shares of the documents, kept under the
// data folder with the content index made from them, so a bench run does not make them again.
#include <QString>
#include <QStringList>

namespace zq::bench {

// Planted words: three characters in 1% and in 20% of the documents, and two characters (a scan)
// in those 20%. The vocabulary of the rest holds none of their characters.
inline const QString kRareWord = QStringLiteral("铍青铜");
inline const QString kCommonWord = QStringLiteral("渗碳层");
inline const QString kShortWord = QStringLiteral("渗碳");
inline constexpr int kRareEvery = 100;
inline constexpr int kCommonEvery = 5;

// The texts of `documents` documents, 200 to 2,000 characters each, the same every time; read
// from dataDir/content/corpus-N.txt when made before.
QStringList Corpus(const QString& dataDir, int documents, QString* error);

// The content index of the corpus on SQLite (dataDir/content/index-N.db), made with the
// indexer's own store when missing: one design document a text. Returns its path, "" on error.
QString CorpusSqliteIndex(const QString& dataDir, const QStringList& corpus, QString* error);

// The same on the PostgreSQL server of adminUrl, in a database of its own (kept; made again when
// it does not hold the corpus). Returns the index's URL, "" on error.
QString CorpusPostgresIndex(const QString& adminUrl, const QStringList& corpus, QString* error);

// The corpus's text in UTF-8 bytes, as the engines store it.
qint64 Utf8Bytes(const QStringList& corpus);

} // namespace zq::bench
