#include "Schema.h"

namespace zq::seed {

namespace {

using T = ColumnType;

Column text(const char* name) { return {QString::fromLatin1(name), T::Text}; }
Column longText(const char* name) { return {QString::fromLatin1(name), T::LongText}; }
Column integer(const char* name) { return {QString::fromLatin1(name), T::Integer}; }
Column blob(const char* name) { return {QString::fromLatin1(name), T::Blob}; }

QList<Column> texts(std::initializer_list<const char*> names)
{
    QList<Column> columns;
    for (const char* n : names)
        columns.append(text(n));
    return columns;
}

QList<Table> buildTables()
{
    QList<Table> tables;

    // Drawing title blocks, one row per drawing (and revision).
    tables.append({QStringLiteral("ZqlomiraAll_title"),
                   texts({"Tcode", "Tname", "Tmaterial", "Tratio", "Tframe", "Ttitle", "Tstandard", "Tlayout",
                          "Tassemble", "Tdesigner", "Tother1", "Tother2", "Tother3", "Tother4", "Tother5",
                          "Manager", "State", "Ttime", "ProductDwgCode", "TRevision"}),
                   {{QStringLiteral("Tcode")}, {QStringLiteral("ProductDwgCode")}}});

    // Part-list lines of the product structures, stored flat: product, parent, own code.
    Table detail{QStringLiteral("ZqlomiraAll_detail"),
                 texts({"ProductDwgCode", "UpCode", "Upname", "Dcode", "Dname", "Dmaterial", "Dstand", "Dremark",
                        "Dstyle", "Dother1", "Dother2"}),
                 {{QStringLiteral("ProductDwgCode"), QStringLiteral("Dcode")}, {QStringLiteral("Dcode")},
                  {QStringLiteral("UpCode")}}};
    detail.columns.append(integer("Dnumber"));
    detail.columns.append(integer("Dserial"));
    tables.append(detail);

    tables.append({QStringLiteral("PartAttribute"),
                   texts({"PartCode", "GroupCode", "Key_Flag", "Out_Flag", "Box_Length", "Box_Width", "Box_Height",
                          "Provider", "Other1", "Other2", "Other3", "Other4", "Other5"}),
                   {{QStringLiteral("PartCode")}}});

    tables.append({QStringLiteral("Product"),
                   texts({"ProductDwgCode", "ProductName", "ProductType", "Designer", "CreateDate"}),
                   {{QStringLiteral("ProductDwgCode")}}});

    // Batch products: the design tables with a batch number added.
    tables.append({QStringLiteral("ZqOrderProduct_title"),
                   texts({"TOrdercode", "OrderProductCode", "Tcode", "Tname", "Tmaterial", "Tratio", "Tframe",
                          "Ttitle", "Tstandard", "Tlayout", "Tassemble", "Tdesigner", "Tother1", "Tother2",
                          "Tother3", "Tother4", "Tother5", "Manager", "State", "Ttime", "ProductDwgCode"}),
                   {{QStringLiteral("TOrdercode")}}});
    Table orderDetail{QStringLiteral("ZqOrderProduct_detail"),
                      texts({"DOrdercode", "OrderProductCode", "ProductDwgCode", "UpCode", "Upname", "Dcode",
                             "Dname", "Dmaterial", "Dstand", "Dremark", "Dstyle", "Dother1", "Dother2"}),
                      {{QStringLiteral("DOrdercode")}}};
    orderDetail.columns.append(integer("Dnumber"));
    tables.append(orderDetail);

    // Documents: archived, project and team-work results.
    Table documents{QStringLiteral("Documents"),
                    texts({"ProductDwgCode", "Code", "RevNumber", "DocumentType", "FileName"}), {}};
    documents.columns.append(integer("FileBulk"));
    documents.columns.append(text("FileType"));
    documents.columns.append(text("FileDate"));
    documents.columns.append(longText("FileRemark"));
    tables.append(documents);

    Table taskDocuments{QStringLiteral("TaskDocuments"),
                        texts({"ProjectNo", "FileRemark", "DocumentType", "FileName"}), {}};
    taskDocuments.columns.append(integer("FileBulk"));
    taskDocuments.columns.append(text("FileType"));
    taskDocuments.columns.append(text("FileDate"));
    tables.append(taskDocuments);

    Table teamWorkResult{QStringLiteral("TeamWorkResult"),
                         texts({"FileID", "PartCode", "PartRev", "FilePrompt", "FileName"}), {}};
    teamWorkResult.columns.append(integer("FileSize"));
    teamWorkResult.columns.append(text("FileType"));
    teamWorkResult.columns.append(text("FileDate"));
    teamWorkResult.columns.append(text("SaveDate"));
    tables.append(teamWorkResult);

    // Resource files of the engineering view items; the file itself is in DocContent.
    Table resources{QStringLiteral("EngineerViewDoc"), texts({"ItemCode", "DocType", "FileName"}),
                    {{QStringLiteral("ItemCode")}}};
    resources.columns.append(integer("FileBulk"));
    resources.columns.append(text("FileType"));
    resources.columns.append(text("FileDate"));
    resources.columns.append(longText("DocRemark"));
    for (const char* n : {"Other1", "Other2", "Other3", "Other4"})
        resources.columns.append(text(n));
    resources.columns.append(integer("DocSaved"));
    resources.columns.append(blob("DocContent"));
    tables.append(resources);

    // Change orders.
    Table ecoManage{QStringLiteral("ECOModifyManage"),
                    texts({"ECONo", "ECOGroup", "Remark", "SaveUser", "SaveDate", "State"}),
                    {{QStringLiteral("ECONo")}}};
    ecoManage.columns.append(longText("Reason"));
    tables.append(ecoManage);

    Table ecoPart{QStringLiteral("ECOModifyPart"), texts({"ECONo", "PartCode", "PartName", "Result"}),
                  {{QStringLiteral("ECONo")}, {QStringLiteral("PartCode")}}};
    ecoPart.columns.append(longText("ModifyContent"));
    tables.append(ecoPart);

    Table handout{QStringLiteral("ECOHandout"), texts({"ECONo", "ECOGroup", "Enpartment"}),
                  {{QStringLiteral("ECONo")}}};
    handout.columns.append(integer("HandoutNum"));
    tables.append(handout);

    Table relateFile{QStringLiteral("ECORelateFile"), texts({"ECOGroup", "ECONo", "DocType", "FileName"}),
                     {{QStringLiteral("ECONo")}}};
    relateFile.columns.append(integer("FileBulk"));
    relateFile.columns.append(integer("DocSaved"));
    relateFile.columns.append(blob("DocContent"));
    tables.append(relateFile);

    // Tasks.
    tables.append({QStringLiteral("ProjectManage"),
                   texts({"ProjectNo", "ProjectName", "ProjectManager", "WorkState", "CreatedTime", "AlertTime",
                          "ProjectPath"}),
                   {}});
    tables.append({QStringLiteral("TeamWorkManage"),
                   texts({"WorkID", "WorkName", "Manager", "WorkState", "CreateTime", "CheckTime"}),
                   {{QStringLiteral("WorkID")}}});
    tables.append({QStringLiteral("TaskAuditManage"),
                   texts({"ProjectNo", "AuditName", "Auditor", "AuditState", "BeginTime"}), {}});
    tables.append({QStringLiteral("TeamWorkAudit"), texts({"FileID", "AuditTask", "Auditor", "State", "BeginDate"}),
                   {}});
    tables.append({QStringLiteral("TeamWorkPart"), texts({"WorkID", "PartCode", "PartName", "UserName", "SaveDate"}),
                   {{QStringLiteral("WorkID")}}});

    // Users and departments for the pickers.
    tables.append({QStringLiteral("ZqUser"), texts({"LogName", "UserName", "Department"}), {}, true});
    tables.append({QStringLiteral("ZqDepartment"), {integer("DeptNo"), text("Name")}, {}, true});

    // Design files kept in the database, found by the storage component's key
    // "<code 1>_<code 2>_<file name>" or by code, revision and file title.
    Table pdmFile{QStringLiteral("ZqPDMFile"),
                  texts({"FileKey", "FileKind", "Code", "Revision", "FileTitle", "FileName"}),
                  {{QStringLiteral("FileKey")}}, true};
    pdmFile.columns.append(integer("FileBulk"));
    pdmFile.columns.append(blob("DocContent"));
    tables.append(pdmFile);

    return tables;
}

QString identifier(const QString& name, Engine engine)
{
    return engine == Engine::Postgres ? name.toLower() : name;
}

QString typeName(ColumnType type, Engine engine)
{
    switch (type) {
    case ColumnType::Text: return QStringLiteral("VARCHAR(255)");
    case ColumnType::LongText: return QStringLiteral("VARCHAR(2000)");
    case ColumnType::Integer: return QStringLiteral("INTEGER");
    case ColumnType::Blob:
        switch (engine) {
        case Engine::Sqlite: return QStringLiteral("BLOB");
        case Engine::Postgres: return QStringLiteral("BYTEA");
        case Engine::SqlServer: return QStringLiteral("VARBINARY(MAX)");
        }
    }
    return QStringLiteral("VARCHAR(255)");
}

} // namespace

QStringList Table::columnNames() const
{
    QStringList names;
    for (const Column& c : columns)
        names.append(c.name);
    return names;
}

const QList<Table>& PdmTables()
{
    static const QList<Table> tables = buildTables();
    return tables;
}

const Table* FindTable(const QString& name)
{
    for (const Table& t : PdmTables())
        if (t.name.compare(name, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString CreateTableSql(const Table& table, Engine engine)
{
    QStringList columns;
    for (const Column& c : table.columns)
        columns.append(identifier(c.name, engine) + QLatin1Char(' ') + typeName(c.type, engine));
    return QStringLiteral("CREATE TABLE %1 (%2)").arg(identifier(table.name, engine), columns.join(QStringLiteral(", ")));
}

QString DropTableSql(const Table& table, Engine engine)
{
    return QStringLiteral("DROP TABLE IF EXISTS %1").arg(identifier(table.name, engine));
}

QStringList CreateIndexSql(const Table& table, Engine engine)
{
    QStringList statements;
    int n = 0;
    for (const QStringList& index : table.indexes) {
        QStringList columns;
        for (const QString& c : index)
            columns.append(identifier(c, engine));
        const QString name = identifier(QStringLiteral("IX_%1_%2").arg(table.name).arg(++n), engine);
        statements.append(QStringLiteral("CREATE INDEX %1 ON %2 (%3)")
                              .arg(name, identifier(table.name, engine), columns.join(QStringLiteral(", "))));
    }
    return statements;
}

} // namespace zq::seed
