// The demo's stored files are real files of their types: each one of a type the content index
// reads gives its text, and names something found in no other file and no row of the demo.
#include "Schema.h"
#include "SeededHome.h"
#include "TextExtraction.h"

#include <QDirIterator>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <gtest/gtest.h>

using namespace zq::extract;

namespace {

std::string str(const QString& s) { return s.toStdString(); }

// Every text of every row of the demo database, the stored files (blobs) left out.
QString DatabaseTexts(const QString& path)
{
    QString texts;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("demo-texts"));
        db.setDatabaseName(path);
        if (db.open()) {
            for (const zq::seed::Table& table : zq::seed::PdmTables()) {
                QSqlQuery query(QStringLiteral("SELECT * FROM %1").arg(table.name), db);
                while (query.next())
                    for (int i = 0; i < query.record().count(); ++i)
                        if (query.record().fieldName(i) != QLatin1String("DocContent"))
                            texts += query.value(i).toString() + QLatin1Char('\n');
            }
        }
    }
    QSqlDatabase::removeDatabase(QStringLiteral("demo-texts"));
    return texts;
}

} // namespace

TEST(DemoFiles, EveryFileOfATextTypeGivesWordsFoundNowhereElse)
{
    zq::test::SeededHome home;
    ASSERT_TRUE(home.ok()) << str(home.error());

    QMap<QString, QString> texts;   // file name → text
    QDirIterator files(home.storeDir(), QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        const Extraction e = ExtractText(path);
        EXPECT_TRUE(e.ok) << str(path) << ": " << str(e.error);
        EXPECT_FALSE(e.truncated) << str(path);
        if (FileTypeOf(path) == FileType::Other)
            continue;
        EXPECT_TRUE(e.note.isEmpty()) << str(path) << ": " << str(e.note);
        texts.insert(QFileInfo(path).fileName(), e.text);
    }
    EXPECT_EQ(texts.size(), 9) << str(texts.keys().join(u' '));

    const QString rows = DatabaseTexts(home.path(QStringLiteral("pdm.db")));
    ASSERT_TRUE(rows.contains(QStringLiteral("O'型圈材料更改为氟橡胶"))) << "the rows were read";
    const struct {
        const char* file;
        const char* word;
    } words[] = {
        {"ZQ8700技术条件.pdf", "氟橡胶密封圈"},
        {"Y系列电机样本.pdf", "鼠笼转子"},
        {"深沟球轴承选型手册.pdf", "当量动载荷"},
        {"O型圈选型.txt", "压缩永久变形"},
        {"GB5783螺栓标准.txt", "螺纹公差6g"},
        {"ZQ8600-01-01.dxf", "HT200铸件时效处理"},
        {"ZQ8600减速器技术条件.docx", "空载跑合试验"},
        {"ZQ8600零件明细.xlsx", "易损件清单"},
        {"ZQ8600标准件清单.csv", "镀锌钝化"},
    };
    for (const auto& w : words) {
        const QString file = QString::fromUtf8(w.file), word = QString::fromUtf8(w.word);
        EXPECT_TRUE(texts.value(file).contains(word)) << w.file << ": " << str(texts.value(file));
        for (auto it = texts.begin(); it != texts.end(); ++it)
            EXPECT_TRUE(it.key() == file || !it.value().contains(word)) << w.word << " also in " << str(it.key());
        EXPECT_FALSE(rows.contains(word)) << w.word << " also in the database";
    }
    // The drawing's notes lose their format codes; the Word file keeps its paragraphs.
    EXPECT_TRUE(texts.value(QStringLiteral("ZQ8600-01-01.dxf")).contains(QStringLiteral("技术要求\n1. HT200铸件时效处理")));
    EXPECT_TRUE(texts.value(QStringLiteral("ZQ8600-01-01.dxf")).contains(QStringLiteral("轴承孔Ø72+0.030/0")));
}
