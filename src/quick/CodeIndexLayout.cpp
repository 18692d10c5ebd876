#include "CodeIndexLayout.h"

#include "CodeMatch.h"
#include "SearchFolding.h"

namespace zq::quick::codeindex {

QStringList CreateStatements()
{
    return {
        QStringLiteral("CREATE TABLE %1 (SourceId INTEGER PRIMARY KEY, TableName TEXT NOT NULL UNIQUE, "
                       "Columns TEXT NOT NULL, HighWater INTEGER NOT NULL, IndexedRows INTEGER NOT NULL, "
                       "IndexedAt TEXT NOT NULL)")
            .arg(kSourceTable),
        // The built-in trigram tokenizer: LIKE '%fragment%' is answered from its index. The texts
        // are folded before they are stored, so its own case folding changes nothing.
        QStringLiteral("CREATE VIRTUAL TABLE %1 USING fts5(Codes, Texts, tokenize='trigram')").arg(kTextTable),
    };
}

QString ColumnSignature(const SourceTable& source)
{
    QStringList texts{source.nameColumn};
    texts += source.otherColumns;
    texts.append(source.authorColumn);
    // The leading number is the way the texts are made; a change to it indexes every source again.
    return QStringLiteral("1|") + source.codeColumns.join(u',') + u'|' + texts.join(u',');
}

RowTexts TextsOf(const SourceTable& source, const QStringList& row)
{
    const QStringList columns = source.readColumns();
    const auto value = [&](const QString& column) {
        const qsizetype at = columns.indexOf(column);
        return at >= 0 && at < row.size() ? row.at(at) : QString();
    };
    QStringList codes;
    for (const QString& column : source.codeColumns)
        codes.append(BareCode(value(column)));
    QStringList texts;
    const auto addText = [&](const QString& column) {
        if (!column.isEmpty())
            texts.append(FoldForSearch(value(column)));
    };
    addText(source.nameColumn);
    for (const QString& column : source.otherColumns)
        addText(column);
    addText(source.authorColumn);
    return {codes.join(u'\n'), texts.join(u'\n')};
}

QList<const SourceTable*> IndexedSources()
{
    QList<const SourceTable*> sources;
    QStringList seen;
    for (const QuickKind& kind : DatabaseKinds())
        for (const SourceTable& source : kind.sources)
            if (!seen.contains(source.table)) {
                seen.append(source.table);
                sources.append(&source);
            }
    return sources;
}

} // namespace zq::quick::codeindex
