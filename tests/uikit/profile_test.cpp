// The private-profile reader against INI files as the Windows reader sees them.
#include "GbkText.h"
#include "Profile.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq;

namespace {

QString writeFile(const QTemporaryDir& dir, const QString& name, const QByteArray& bytes)
{
    const QString path = dir.filePath(name);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    return path;
}

const QString kIni = QStringLiteral(
    "; configuration of the client\r\n"
    "top=before any section\r\n"
    "[产品属性]\r\n"
    "产品代号 = 图号 \r\n"
    "Name=\"  quoted value  \"\r\n"
    "single='x'\r\n"
    "lonequote=\"open\r\n"
    "inner=a \"b\" c\r\n"
    "twice=\"\"x\"\"\r\n"
    ";commented=yes\r\n"
    "   ; indented comment=yes\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    "empty=\r\n"
    "novalue\r\n"
    "semicolon=a;b\r\n"
    "long=中文字符串\r\n"
    "\tspaced key\t=\tv\t\r\n"
    "[图纸入库配置]\r\n"
    "电子文档存储方式=2\r\n"
    "dup=other section\r\n"
    "[ Spaced Section ]\r\n"
    "k=in spaced\r\n"
    "[产品属性]\r\n"
    "later=from the repeated section\r\n"
    "dup=third\r\n");

} // namespace

TEST(ProfileReader, BehavesLikeTheWindowsReader)
{
    QTemporaryDir dir;
    struct Encoded { const char* name; QByteArray bytes; };
    const Encoded files[] = {
        {"gbk.ini", EncodeGbk(kIni)},
        {"utf8.ini", kIni.toUtf8()},
        {"utf8bom.ini", "\xef\xbb\xbf" + kIni.toUtf8()},
        {"lf.ini", EncodeGbk(QString(kIni).replace("\r\n", "\n"))},
    };
    struct Case { QString section, key, def; int buffer; QString expected; };
    const Case cases[] = {
        {"产品属性", "产品代号", "d", 100, "图号"},
        {"产品属性", "name", "d", 100, "  quoted value  "},
        {"产品属性", "NAME", "d", 100, "  quoted value  "},
        {"产品属性", "single", "d", 100, "x"},
        {"产品属性", "lonequote", "d", 100, "\"open"},
        {"产品属性", "inner", "d", 100, "a \"b\" c"},
        {"产品属性", "twice", "d", 100, "\"x\""},
        {"产品属性", "commented", "d", 100, "d"},
        {"产品属性", "; indented comment", "d", 100, "d"},
        {"产品属性", "dup", "d", 100, "first"},
        {"产品属性", "empty", "d", 100, ""},
        {"产品属性", "novalue", "d", 100, ""},
        {"产品属性", "semicolon", "d", 100, "a;b"},
        {"产品属性", "spaced key", "d", 100, "v"},
        {"产品属性", "later", "d", 100, "from the repeated section"},
        {"产品属性", "top", "d", 100, "d"},
        {"产品属性", "missing", "默认", 100, "默认"},
        {"产品属性", "missing", "  padded  ", 100, "padded"},
        {"图纸入库配置", "电子文档存储方式", "0", 100, "2"},
        {"图纸入库配置", "dup", "d", 100, "other section"},
        {"spaced section", "K", "d", 100, "in spaced"},
        {"没有的节", "dup", "0", 100, "0"},
        {"", "dup", "d", 100, "d"},
        {"产品属性", "", "d", 100, "d"},
        // The buffer holds bufferSize − 1 GBK bytes; a Chinese character is never split.
        {"产品属性", "long", "d", 11, "中文字符串"},
        {"产品属性", "long", "d", 10, "中文字符"},
        {"产品属性", "long", "d", 9, "中文字符"},
        {"产品属性", "long", "d", 4, "中"},
        {"产品属性", "long", "d", 2, ""},
        {"产品属性", "long", "d", 1, ""},
        {"产品属性", "long", "d", 0, ""},
        {"产品属性", "missing", "abcdef", 4, "abc"},
    };
    for (const Encoded& file : files) {
        const QString path = writeFile(dir, file.name, file.bytes);
        for (const Case& c : cases) {
            EXPECT_EQ(GetPrivateProfileString(c.section, c.key, c.def, c.buffer, path), c.expected)
                << file.name << " [" << c.section.toStdString() << "] " << c.key.toStdString() << " buffer " << c.buffer;
        }
    }
}

TEST(ProfileReader, MissingOrMalformedFilesGiveTheDefault)
{
    QTemporaryDir dir;
    struct Case { const char* name; QByteArray bytes; QString expected; };
    const Case cases[] = {
        {"empty.ini", "", "def"},
        {"binary.ini", QByteArray("\x00\xff\xfe[s]\x00k=v", 11), "def"},
        {"invalid-gbk.ini", "[s]\r\nk=\xff\xfe\r\nj=1", QString(2, QChar(QChar::ReplacementCharacter))},
        {"unclosed.ini", "[s\r\nk=v", "v"},
        {"no-newline.ini", "[s]\r\nk=last", "last"},
        {"lone-cr.ini", "[s]\rk=cr\r", "cr"},
        {"trailing.ini", "[s] ; note\r\nk = v", "v"},
    };
    for (const Case& c : cases) {
        const QString path = writeFile(dir, c.name, c.bytes);
        EXPECT_EQ(GetPrivateProfileString("s", "k", "def", 100, path), c.expected) << c.name;
    }
    EXPECT_EQ(GetPrivateProfileString("s", "k", "def", 100, dir.filePath("missing.ini")), "def");
    EXPECT_EQ(GetPrivateProfileString("s", "k", "def", 100, QString()), "def");
    EXPECT_EQ(GetPrivateProfileString("s", "k", "def", 100, dir.path()), "def");
}

TEST(ProfileReader, FileNameIsFoundCaseInsensitively)
{
    QTemporaryDir dir;
    writeFile(dir, "ZQPDMCAD.INI", "[S]\r\nK=1");
    EXPECT_EQ(GetPrivateProfileString("s", "k", "0", 100, dir.path() + "\\zqpdmcad.ini"), "1");
}

TEST(Atoi, LeadingNumberOnly)
{
    struct Case { QString text; int value; };
    const Case cases[] = {
        {"0", 0}, {"1", 1}, {"2", 2}, {"  42", 42}, {"\t-7", -7}, {"+3", 3}, {"12abc", 12},
        {"abc", 0}, {"", 0}, {"-", 0}, {" - 1", 0}, {"０", 0}, {"99999999999", 2147483647},
        {"-99999999999", -2147483647 - 1}, {"1.9", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Atoi(c.text), c.value) << c.text.toStdString();
}
