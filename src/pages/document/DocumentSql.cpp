#include "DocumentSql.h"

#include "DateCondition.h"
#include "SqlText.h"

namespace zq::doc {

namespace {

// The LIKE pattern of a typed text: "*text*" through the pattern conversion; "" when nothing was typed.
QString ContainsPattern(const QString& typed)
{
    const QString text = TypedSqlText(typed);
    return text.isEmpty() ? QString() : PatternToSql(QStringLiteral("*") + text + QStringLiteral("*"));
}

// "column LIKE '<pattern>'" with the pattern wrapped once more in open/close, or "" for no pattern.
QString Like(const QString& column, const QString& pattern, const QString& wrap = QString())
{
    if (pattern.isEmpty())
        return QString();
    return column + QStringLiteral(" LIKE '") + wrap + pattern + wrap + QStringLiteral("'");
}

QString DateText(const QString& column, const DocumentConditions& conditions)
{
    return BuildDateCondition(column, conditions.from, conditions.to, DateBounds::Inclusive).sql;
}

QString WithWhere(const QString& base, const QString& joined)
{
    return joined.isEmpty() ? base : base + QStringLiteral(" WHERE ") + joined;
}

} // namespace

const QStringList& DocumentKindNames()
{
    static const QStringList names{QStringLiteral("所有"), QStringLiteral("项目文档"), QStringLiteral("设计文档"),
                                   QStringLiteral("归档文档")};
    return names;
}

QString ProjectDocumentSelect()
{
    return QStringLiteral("SELECT ProjectNo, FileRemark, 'A', DocumentType, FileName, FileBulk, FileType, FileDate, "
                          "'项目文档' FROM TaskDocuments");
}

QString DesignDocumentSelect()
{
    return QStringLiteral("SELECT FileID, PartCode, PartRev, FilePrompt, FileName, FileSize, FileType, FileDate, "
                          "'设计文档' FROM TeamWorkResult");
}

QString ArchivedDocumentSelect()
{
    return QStringLiteral("SELECT ProductDwgCode, Code, RevNumber, DocumentType, FileName, FileBulk, FileType, FileDate "
                          "FROM Documents");
}

QString ProjectDocumentSql(const DocumentConditions& c)
{
    // The part text is matched against the remark column, as the remark is.
    return WithWhere(ProjectDocumentSelect(),
                     JoinPresent({Like(QStringLiteral("DocumentType"), ContainsPattern(c.description)),
                                  Like(QStringLiteral("FileName"), ContainsPattern(c.fileName)),
                                  Like(QStringLiteral("FileRemark"), ContainsPattern(c.remark)),
                                  Like(QStringLiteral("FileRemark"), ContainsPattern(c.part)),
                                  DateText(QStringLiteral("FileDate"), c)}));
}

QString DesignDocumentSql(const DocumentConditions& c)
{
    return WithWhere(DesignDocumentSelect(),
                     JoinPresent({Like(QStringLiteral("FilePrompt"), ContainsPattern(c.description)),
                                  Like(QStringLiteral("FileName"), ContainsPattern(c.fileName)),
                                  Like(QStringLiteral("PartCode"), ContainsPattern(c.part)),
                                  DateText(QStringLiteral("SaveDate"), c)}));
}

QString ArchivedDocumentSql(const DocumentConditions& c)
{
    // The already wrapped pattern is wrapped in "%" once more: "x" gives LIKE '%%x%%'.
    const QString wrap = QStringLiteral("%");
    return WithWhere(ArchivedDocumentSelect(),
                     JoinPresent({Like(QStringLiteral("DocumentType"), ContainsPattern(c.description), wrap),
                                  Like(QStringLiteral("FileName"), ContainsPattern(c.fileName), wrap),
                                  Like(QStringLiteral("FileRemark"), ContainsPattern(c.remark), wrap),
                                  DateText(QStringLiteral("FileDate"), c)}));
}

DocumentSqlTexts BuildDocumentSql(const DocumentConditions& conditions)
{
    DocumentSqlTexts texts;
    texts.dateWarning = BuildDateCondition(QStringLiteral("FileDate"), conditions.from, conditions.to).reversed;
    switch (conditions.kind) {
    case KindAll:
        texts.sql = {ProjectDocumentSql(conditions), DesignDocumentSql(conditions), ArchivedDocumentSql(conditions)};
        break;
    case KindProject:
        texts.sql = {ProjectDocumentSql(conditions)};
        break;
    case KindDesign:
        texts.sql = {DesignDocumentSql(conditions)};
        break;
    case KindArchived:
        texts.sql = {ArchivedDocumentSql(conditions)};
        break;
    default:
        break;
    }
    return texts;
}

QString DocumentItemText(const DocumentRecord& record)
{
    return QStringLiteral("%1[%2]").arg(record.Field(RecordField::Code2), record.Field(RecordField::Revision));
}

const RowLayout& DocumentRowLayout()
{
    static const RowLayout layout{
        {RecordField::Code1, RecordField::Code2, RecordField::Revision, RecordField::Description,
         RecordField::FileName, RecordField::Size, RecordField::FileType, RecordField::Date},
        DocumentItemText,
        {RecordField::Description, RecordField::Size, RecordField::FileType, RecordField::Date},
    };
    return layout;
}

QString JoinPresent(const QStringList& conditions)
{
    QString joined;
    for (const QString& condition : conditions) {
        if (condition.isEmpty())
            continue;
        if (!joined.isEmpty())
            joined += QStringLiteral(" AND ");
        joined += condition;
    }
    return joined;
}

} // namespace zq::doc
