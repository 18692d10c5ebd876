// What the web server parses itself, without a server: the search body, the command line, the ids,
// the file name header and the worker's output lines.
#include "ContentDisposition.h"
#include "HitStore.h"
#include "PageWorker.h"
#include "PreviewCache.h"
#include "QuickRequest.h"
#include "RequestIdentity.h"
#include "SearchRequest.h"
#include "WebCommandLine.h"

#include <gtest/gtest.h>

namespace zq::web {
namespace {

struct AcceptedCase {
    const char* body;
    QStringList arguments;
};

TEST(WebSearchRequest, ActionsBecomeTheCommandLinesArgumentsInOrder)
{
    const AcceptedCase cases[] = {
        {R"({"actions": []})", {}},
        {R"({})", {}},
        {R"({"actions": [["set", "条件", "明细"], ["cell", "1318", "图号", "ZQ8600-01"]]})",
         {"--set", "条件=明细", "--cell", "1318:图号=ZQ8600-01"}},
        {R"({"actions": [["cell", 1318, 0, "A=B"]]})", {"--cell", "1318:0=A=B"}},
        {R"({"actions": [["pick", "张伟", "李娜"], ["tree", "ZQ8600::ZQ8600-01"], ["click", "查找"]]})",
         {"--pick", "张伟,李娜", "--tree", "ZQ8600::ZQ8600-01", "--click", "查找"}},
        {R"({"actions": [["set", "1023", "--help"]]})", {"--set", "1023=--help"}},
        {R"({"actions": [["tree", "--help"]]})", {"--tree", "--help"}},   // a path, however odd, not a request for help
    };
    for (const AcceptedCase& c : cases) {
        const SearchRequest request = ParseSearchRequest(QByteArray(c.body));
        EXPECT_TRUE(request.ok()) << c.body << ": " << request.error.toStdString();
        EXPECT_EQ(request.arguments, c.arguments) << c.body;
    }
}

// Each of these would, passed on, mean something the client did not write, or do more than search.
TEST(WebSearchRequest, RefusesWhatTheCommandLineWouldReadOtherwise)
{
    const char* refused[] = {
        "",
        "[]",
        "{\"actions\": {}}",
        R"({"actions": ["set"]})",
        R"({"actions": [[]]})",
        R"({"actions": [["set", "1023"]]})",
        R"({"actions": [["set", "编=制", "x"]]})",         // the label would end at "="
        R"({"actions": [["pick", "张,伟"]]})",              // one name would become two
        R"({"actions": [["pick", ""]]})",
        R"({"actions": [["tree", "A::"]]})",
        R"({"actions": [["cell", "1318", "图号:x", "v"]]})", // the row would be read as "x"
        R"({"actions": [["export", "/tmp/x.txt"]]})",       // writes a file
        R"({"actions": [["saved", "x"]]})",
        R"({"actions": [["menu", "0:1"]]})",
        R"({"actions": [["dblclick", "0"]]})",
        R"({"actions": [["set", 1.5, "x"]]})",
        R"({"actions": [["set", -1, "x"]]})",
        R"({"actions": [["set", true, "x"]]})",
    };
    for (const char* body : refused) {
        const SearchRequest request = ParseSearchRequest(QByteArray(body));
        EXPECT_FALSE(request.ok()) << body << " gave " << request.arguments.join(u' ').toStdString();
    }
}

TEST(WebSearchRequest, BoundsTheNumberAndLengthOfActions)
{
    QByteArray many = "{\"actions\": [";
    for (int i = 0; i <= kMaxActions; ++i)
        many += QByteArray(i ? "," : "") + "[\"set\", \"1\", \"x\"]";
    many += "]}";
    EXPECT_FALSE(ParseSearchRequest(many).ok());
    const QByteArray longText = "{\"actions\": [[\"set\", \"1\", \"" + QByteArray(kMaxActionText + 1, 'x') + "\"]]}";
    EXPECT_FALSE(ParseSearchRequest(longText).ok());
}

TEST(WebSearchRequest, TheDescribeParameterTakesTheSameActions)
{
    EXPECT_TRUE(ParseActionsParameter("").ok());
    EXPECT_EQ(ParseActionsParameter(R"([["set","条件","明细"]])").arguments, (QStringList{"--set", "条件=明细"}));
    EXPECT_FALSE(ParseActionsParameter(R"({"actions": []})").ok());
    EXPECT_FALSE(ParseActionsParameter(R"([["export","x"]])").ok());
}

struct OptionCase {
    QStringList arguments;
    WebParseResult::Status status;
};

TEST(WebCommandLineTest, OptionsAndTheLoopbackRuleOfTheLocalUser)
{
    using S = WebParseResult::Status;
    const OptionCase cases[] = {
        {{"--home", "h"}, S::Ok},
        {{"--home", "h", "--listen", "0.0.0.0:80", "--trusted-proxy", "10.0.0.5"}, S::Ok},
        {{"--home", "h", "--listen", "[::1]:8470", "--local-user", "zhangwei"}, S::Ok},
        {{"--home", "h", "--listen", "localhost:8470", "--local-user", "zhangwei"}, S::Ok},
        {{"--home", "h", "--listen", "127.0.0.2:9000", "--local-user", "张伟"}, S::Ok},
        {{"--home", "h", "--listen", "0.0.0.0:8470", "--local-user", "zhangwei"}, S::Usage},
        {{"--home", "h", "--listen", "192.168.1.4:8470", "--local-user", "zhangwei"}, S::Usage},
        {{"--home", "h", "--local-user", " zhangwei"}, S::Usage},
        {{"--home", "h", "--listen", "8470"}, S::Usage},
        {{"--home", "h", "--listen", "127.0.0.1:70000"}, S::Usage},
        {{"--home", "h", "--listen", "example.com:80"}, S::Usage},
        {{"--home", "h", "--trusted-proxy", "proxy"}, S::Usage},
        {{"--home", "h", "--search-timeout", "0"}, S::Usage},
        {{"--home", "h", "--workers", "0"}, S::Usage},
        {{"--home", "h", "--unknown"}, S::Usage},
        {{"--home"}, S::Usage},
        {{}, S::Usage},
        {{"--help"}, S::Help},
    };
    for (const OptionCase& c : cases)
        EXPECT_EQ(WebCommandLine::parse(c.arguments).status, c.status) << c.arguments.join(u' ').toStdString();
    // A bad number is quoted as typed, percent signs and all.
    for (const char* text : {"50%1", "%2", "%%", "50%"})
        EXPECT_TRUE(WebCommandLine::parse({"--home", "h", "--workers", text})
                        .error.contains(QStringLiteral("--workers: \"%1\" is not a number from 1 to ").arg(QString::fromUtf8(text))))
            << text;
    const WebOptions options = WebCommandLine::parse({"--home", "h", "--listen", ":9000"}).options;
    EXPECT_EQ(options.listenHost, "127.0.0.1");
    EXPECT_EQ(options.listenPort, 9000);
    EXPECT_GE(options.workers, 1);
}

TEST(WebIdentity, TheHeaderCountsOnlyFromATrustedProxy)
{
    const RequestIdentity proxied({"127.0.0.1"}, std::nullopt);
    EXPECT_EQ(proxied.user("127.0.0.1", "lisi"), QString("lisi"));
    EXPECT_EQ(proxied.user("::ffff:127.0.0.1", "lisi"), QString("lisi"));
    EXPECT_EQ(proxied.user("127.0.0.1", "张伟"), QString("张伟"));
    EXPECT_EQ(proxied.user("127.0.0.2", "lisi"), std::nullopt);
    EXPECT_EQ(proxied.user("127.0.0.1", ""), std::nullopt);
    EXPECT_EQ(proxied.user("127.0.0.1", "li\tsi"), std::nullopt);
    EXPECT_EQ(proxied.user("127.0.0.1", " lisi"), std::nullopt);
    EXPECT_EQ(proxied.user("127.0.0.1", "\xff\xfe"), std::nullopt);
    EXPECT_EQ(proxied.user("127.0.0.1", std::string(65, 'a')), std::nullopt);
    const RequestIdentity local({}, QString("zhangwei"));
    EXPECT_EQ(local.user("127.0.0.1", "lisi"), QString("zhangwei"));
}

TEST(WebHitStore, AnIdLeadsOnlyItsOwnUserToItsRow)
{
    HitStore store(2);
    const QString first = store.add(Hit{"zhangwei", "更改单", {"--find"}, 0, "{}", std::nullopt});
    EXPECT_TRUE(HitStore::IsWellFormedId(first));
    ASSERT_TRUE(store.find(first, "zhangwei"));
    EXPECT_EQ(store.find(first, "zhangwei")->page, "更改单");
    EXPECT_FALSE(store.find(first, "lisi"));
    EXPECT_FALSE(store.find(first.toUpper(), "zhangwei"));
    EXPECT_FALSE(store.find("../../etc/passwd", "zhangwei"));
    store.add(Hit{"zhangwei", "更改单", {}, 1, "{}", std::nullopt});
    store.add(Hit{"zhangwei", "更改单", {}, 2, "{}", std::nullopt});
    EXPECT_FALSE(store.find(first, "zhangwei")) << "the oldest is forgotten past the capacity";
}

TEST(WebContentDisposition, TheNameArrivesWholeAndCannotBreakTheHeader)
{
    const struct {
        QString name;
        std::string header;
    } cases[] = {
        {"drawing.pdf", "attachment; filename=\"drawing.pdf\"; filename*=UTF-8''drawing.pdf"},
        {"输入轴.doc", "attachment; filename=\"___.doc\"; filename*=UTF-8''%E8%BE%93%E5%85%A5%E8%BD%B4.doc"},
        {"a\"b\r\nSet-Cookie: x.txt", "attachment; filename=\"a_b__Set-Cookie: x.txt\"; filename*=UTF-8''a%22b%0D%0ASet-Cookie%3A%20x.txt"},
        {"../../etc/passwd", "attachment; filename=\"passwd\"; filename*=UTF-8''passwd"},
        {"..", "attachment; filename=\"file\"; filename*=UTF-8''file"},
        {"50% off;.txt", "attachment; filename=\"50% off;.txt\"; filename*=UTF-8''50%25%20off%3B.txt"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(AttachmentDisposition(c.name), c.header) << c.name.toStdString();
}

TEST(WebWorkerOutput, RowLinesAreTakenApartOnlyInTheWriterShape)
{
    EXPECT_EQ(SplitRowLines("[]\n"), QStringList());
    EXPECT_EQ(SplitRowLines("[\n{\"a\":\"1\"},\n{\"a\":\"2\"}\n]\n"), (QStringList{"{\"a\":\"1\"}", "{\"a\":\"2\"}"}));
    EXPECT_EQ(SplitRowLines("[\n{\"a\":\"1\"}\n]\n"), QStringList{"{\"a\":\"1\"}"});
    for (const char* bad : {"", "[", "[\n{\"a\":1}\n", "[\n{\"a\":1}\n{\"a\":2}\n]\n", "[\nx,\n]\n"})
        EXPECT_FALSE(SplitRowLines(bad)) << bad;
    QStringList other;
    const QList<QJsonObject> events =
        ParseEventLines("{\"event\":\"STATUS\",\"text\":\"操作提示:共查到2项记录\"}\nqt: warning\n{\"x\":1}\n", &other);
    ASSERT_EQ(events.size(), 1);
    EXPECT_EQ(events[0].value("text").toString(), "操作提示:共查到2项记录");
    EXPECT_EQ(other, (QStringList{"qt: warning", "{\"x\":1}"}));
}

TEST(WebWorkerOutput, ARowsCellsComeInColumnOrder)
{
    const struct {
        QString row;
        std::optional<QStringList> cells;
    } cases[] = {
        {R"({"类别":"设计零部件","编号":"ZQ8600-01","名称":"箱体部件"})", QStringList{"设计零部件", "ZQ8600-01", "箱体部件"}},
        {R"({"b":"1","a":"2"})", QStringList{"1", "2"}},   // not the sorted order of a QJsonObject
        {R"({"a":"x\"y","b":"\\","c":"\u4e2d,:}"})", QStringList{"x\"y", "\\", "中,:}"}},
        {R"({})", QStringList{}},
        {R"( { "a" : "1" } )", QStringList{"1"}},
        {R"({"a":1})", std::nullopt},
        {R"({"a":"1",})", std::nullopt},
        {R"({"a":"1"}x)", std::nullopt},
        {R"({"a":"1)", std::nullopt},
        {R"({"a":"\)", std::nullopt},
        {R"(["a"])", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(RowCells(c.row), c.cells) << c.row.toStdString();
}

TEST(WebQuickRequest, TextAndListsBecomeTheQuickSearchsArguments)
{
    const struct {
        QString text;
        QString kinds;
        QStringList arguments;   // empty: refused
    } cases[] = {
        {"ZQ8600-01", "", {"--quick", "ZQ8600-01"}},
        {"  zq8600 01 ", "设计零部件,更改单", {"--quick", "zq8600 01", "--kind", "设计零部件,更改单"}},
        {"--page", "", {"--quick", "--page"}},
        {"--help", "", {}},
        {"-h", "", {}},
        {"", "", {}},
        {"   ", "", {}},
        {"ZQ\n8600", "", {}},
        {QString(kMaxQuickText + 1, u'A'), "", {}},
        {"ZQ", "设计零部件,,更改单", {}},
        {"ZQ", "--help", {}},
        {"ZQ", QStringList(kMaxQuickKinds + 1, "a").join(u','), {}},
    };
    for (const auto& c : cases) {
        const QuickRequest request = ParseQuickText(c.text, c.kinds);
        EXPECT_EQ(request.ok(), !c.arguments.isEmpty()) << c.text.toStdString() << ": " << request.error.toStdString();
        if (request.ok()) {
            EXPECT_EQ(request.arguments, c.arguments);
        }
    }
    const QuickRequest list = ParseQuickList("ZQ8600-01\nZQ8600-02\n", "更改单");
    EXPECT_EQ(list.arguments, (QStringList{"--quick-list", "-", "--kind", "更改单"}));
    EXPECT_EQ(list.input, "ZQ8600-01\nZQ8600-02\n");
    for (const QByteArray& bad : {QByteArray(), QByteArray(" \n\t\n"), QByteArray("a\0b", 3), QByteArray(kMaxListLines, '\n')})
        EXPECT_FALSE(ParseQuickList(bad, {}).ok()) << bad.left(20).toStdString();
}

TEST(WebPreview, OnlyAPngIsSentAndTheCacheKeepsItsBudget)
{
    const QByteArray png = QByteArray("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\x03\x20\0\0\x02\x58", 24);
    EXPECT_TRUE(IsPng(png));
    QByteArray zeroWide = png;
    zeroWide[18] = 0;
    zeroWide[19] = 0;
    for (const QByteArray& bad : {QByteArray(), png.left(23), QByteArray("<svg onload=alert(1)>"), zeroWide,
                                  QByteArray(png).replace("IHDR", "IDAT")})
        EXPECT_FALSE(IsPng(bad)) << bad.toHex().toStdString();

    PreviewCache cache(100);
    cache.add("a", QByteArray(60, 'a'));
    cache.add("b", QByteArray(30, 'b'));
    cache.add("huge", QByteArray(101, 'h'));
    EXPECT_FALSE(cache.find("huge")) << "past the whole budget: not kept";
    EXPECT_TRUE(cache.find("a"));
    cache.add("c", QByteArray(30, 'c'));
    EXPECT_FALSE(cache.find("a")) << "the oldest goes first";
    EXPECT_EQ(cache.find("b").value_or(QByteArray()), QByteArray(30, 'b'));
    EXPECT_TRUE(cache.find("c"));
}

} // namespace
} // namespace zq::web
