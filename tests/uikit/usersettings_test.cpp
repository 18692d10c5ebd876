// The user's settings file: a writer keeps what it does not know, leaves a newer version's file
// alone, sets a damaged one aside instead of losing it, and writers at once never undo each other.
#include "UserSettingsFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <thread>

using zq::UserSettingsFile;

namespace {

QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

QJsonObject json(const char* text)
{
    return QJsonDocument::fromJson(text).object();
}

TEST(UserSettingsFile, AnUpdateMergesIntoWhatTheFileHolds)
{
    const struct {
        const char* name;
        const char* before;      // nullptr: no file
        bool written;
        const char* after;       // the file's content afterwards, as JSON
        bool setAside;           // the old bytes are kept as ".bad"
    } cases[] = {
        {"no file yet", nullptr, true, R"({"version":1,"mine":7})", false},
        {"keys it does not know stay", R"({"version":1,"pane":{"open":true},"mine":1})", true,
         R"({"version":1,"pane":{"open":true},"mine":7})", false},
        {"a newer version's file is not written", R"({"version":2,"mine":1,"future":[1]})", false,
         R"({"version":2,"mine":1,"future":[1]})", false},
        {"damaged: set aside, started afresh", "{\"version\":1,", true, R"({"version":1,"mine":7})", true},
        {"a JSON array is no settings file", "[1,2]", true, R"({"version":1,"mine":7})", true},
        {"without a version: foreign, set aside", R"({"mine":1})", true, R"({"version":1,"mine":7})", true},
    };
    for (const auto& c : cases) {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("zqpdm/window.json"));
        QDir().mkpath(dir.filePath(QStringLiteral("zqpdm")));
        if (c.before)
            writeBytes(path, c.before);
        QString error;
        const bool written = UserSettingsFile(path).update([](QJsonObject& content) { content.insert("mine", 7); }, &error);
        EXPECT_EQ(written, c.written) << c.name;
        EXPECT_EQ(written, error.isEmpty()) << c.name << ": " << error.toStdString();
        EXPECT_EQ(QJsonDocument::fromJson(readBytes(path)).object(), json(c.after)) << c.name;
        EXPECT_EQ(QFile::exists(path + ".bad"), c.setAside) << c.name;
        if (c.setAside) {
            EXPECT_EQ(readBytes(path + ".bad"), QByteArray(c.before)) << c.name;
        }
    }
}

TEST(UserSettingsFile, ReadTakesWhatItCanAndSaysWhy)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("window.json"));
    UserSettingsFile file(path);
    QString problem;
    EXPECT_TRUE(file.read(&problem).isEmpty());
    EXPECT_TRUE(problem.isEmpty()) << "a file not there yet is no problem";

    writeBytes(path, R"({"version":3,"searchWindow":{"x":1}})");
    EXPECT_EQ(file.read(&problem).value("searchWindow").toObject().value("x").toInt(), 1);
    EXPECT_TRUE(problem.contains(QStringLiteral("较新的版本"))) << problem.toStdString();

    writeBytes(path, "not json");
    EXPECT_TRUE(file.read(&problem).isEmpty());
    EXPECT_TRUE(problem.contains(path)) << problem.toStdString();
    EXPECT_EQ(readBytes(path), QByteArray("not json")) << "reading never moves a file";
}

// A path holding percent signs is named as it is in what the user is told.
TEST(UserSettingsFile, TheNewerVersionMessageNamesThePathAsItIs)
{
    QTemporaryDir dir;
    for (const char* folder : {"50%1", "%2", "%1%2", "%%", "50%"}) {
        const QString path = dir.filePath(QString::fromUtf8(folder) + QStringLiteral("/window.json"));
        QDir().mkpath(QFileInfo(path).absolutePath());
        writeBytes(path, R"({"version":3})");
        QString problem;
        UserSettingsFile(path).read(&problem);
        EXPECT_TRUE(problem.startsWith(path + QStringLiteral(" 由较新的版本保存 (版本 3)"))) << problem.toStdString();
    }
}

TEST(UserSettingsFile, TheFileIsTheUsersAloneAndLeavesNoTemporaryBehind)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("deeper/zqpdm/window.json"));
    ASSERT_TRUE(UserSettingsFile(path).update([](QJsonObject& content) { content.insert("a", 1); }));
    EXPECT_EQ(QFile::permissions(path) & (QFileDevice::ReadGroup | QFileDevice::ReadOther), QFileDevice::Permissions());
    QStringList names = QDir(dir.filePath(QStringLiteral("deeper/zqpdm"))).entryList(QDir::Files);
    names.removeAll(QStringLiteral("window.json"));
    names.removeAll(QStringLiteral("window.json.lock"));
    EXPECT_TRUE(names.isEmpty()) << names.join(u' ').toStdString();
}

// Two writers (as two windows or processes would) each count their own key up; under the lock
// each reads the other's last write, so no count is lost.
TEST(UserSettingsFile, WritersAtOnceKeepEachOthersChanges)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("window.json"));
    constexpr int kRounds = 40;
    const auto writer = [&path](const char* key) {
        const UserSettingsFile file(path);
        for (int i = 0; i < kRounds; ++i)
            file.update([key](QJsonObject& content) { content.insert(key, content.value(key).toInt() + 1); });
    };
    std::thread first(writer, "columns");
    std::thread second(writer, "pane");
    first.join();
    second.join();
    const QJsonObject content = UserSettingsFile(path).read();
    EXPECT_EQ(content.value("columns").toInt(), kRounds);
    EXPECT_EQ(content.value("pane").toInt(), kRounds);
}

TEST(UserSettingsFile, TheUserFolderFollowsXdgConfigHome)
{
    const QByteArray before = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/somewhere/config");
    EXPECT_EQ(UserSettingsFile::InUserFolder(QStringLiteral("window.json")), QStringLiteral("/somewhere/config/zqpdm/window.json"));
    qunsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(UserSettingsFile::UserFolder(), QDir::homePath() + QStringLiteral("/.config/zqpdm"));
    qputenv("XDG_CONFIG_HOME", before);
}

} // namespace
