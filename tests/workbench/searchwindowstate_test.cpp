// What the search window remembers of its user: its place and the columns' widths per tab, kept
// in the user's window.json beside what others keep there, and where a remembered place lands on
// the screens there are now.
#include "SearchWindowState.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace zq;

namespace {

class SearchWindowStateTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.filePath(QStringLiteral("zqpdm/window.json")); }
    SearchWindowState state() const { return SearchWindowState(UserSettingsFile(path())); }
    QJsonObject content() const { return UserSettingsFile(path()).read(); }

    QTemporaryDir m_dir;
};

TEST_F(SearchWindowStateTest, ThePlaceComesBackAsItWasLeft)
{
    EXPECT_FALSE(state().placement()) << "nothing remembered yet";
    const WindowPlacement cases[] = {{QRect(40, 30, 700, 500), false}, {QRect(-1200, 10, 640, 480), true}};
    for (const WindowPlacement& placement : cases) {
        ASSERT_TRUE(state().savePlacement(placement));
        const std::optional<WindowPlacement> back = state().placement();
        ASSERT_TRUE(back);
        EXPECT_EQ(back->normal, placement.normal);
        EXPECT_EQ(back->maximized, placement.maximized);
    }
}

TEST_F(SearchWindowStateTest, AnUnusablePlaceIsNoPlace)
{
    for (const char* geometry : {R"({"x":1,"y":2,"width":0,"height":300})", R"({"x":1,"y":2,"width":"wide","height":300})",
                                 R"("not an object")"}) {
        ASSERT_TRUE(UserSettingsFile(path()).update([geometry](QJsonObject& c) {
            c.insert("searchWindow", QJsonDocument::fromJson(QByteArray(R"({"geometry":)") + geometry + "}").object());
        }));
        EXPECT_FALSE(state().placement()) << geometry;
    }
}

// Each tab keeps its own widths; a save adds to what the tab had, and leaves the place, other
// tabs and what other parts of the program keep in the file as they were.
TEST_F(SearchWindowStateTest, ColumnWidthsAreKeptPerTabBesideEverythingElse)
{
    ASSERT_TRUE(UserSettingsFile(path()).update([](QJsonObject& c) { c.insert("previewPane", QJsonObject{{"open", true}}); }));
    ASSERT_TRUE(state().savePlacement({QRect(10, 20, 600, 400), false}));
    ASSERT_TRUE(state().saveColumnWidths("设计零部件", {{"零部件图号", 150}, {"零部件图名", 200}}));
    ASSERT_TRUE(state().saveColumnWidths("更改单", {{"更改单号", 90}}));
    ASSERT_TRUE(state().saveColumnWidths("设计零部件", {{"零部件图名", 240}}));
    EXPECT_EQ(state().columnWidths("设计零部件"), (QMap<QString, int>{{"零部件图号", 150}, {"零部件图名", 240}}));
    EXPECT_EQ(state().columnWidths("更改单"), (QMap<QString, int>{{"更改单号", 90}}));
    EXPECT_TRUE(state().columnWidths("设计文档").isEmpty());
    EXPECT_EQ(state().placement()->normal, QRect(10, 20, 600, 400));
    EXPECT_TRUE(content().value("previewPane").toObject().value("open").toBool());
    EXPECT_EQ(content().value("version").toInt(), UserSettingsFile::kVersion);
}

TEST(PlaceOnScreens, ARememberedPlaceIsKeptWhereItsCaptionCanBeReached)
{
    const QRect left(0, 0, 1280, 900), right(1280, 0, 1920, 1080);
    const struct {
        const char* name;
        QRect wanted;
        QList<QRect> screens;
        std::optional<QRect> placed;
    } cases[] = {
        {"inside", QRect(100, 80, 700, 500), {left}, QRect(100, 80, 700, 500)},
        {"partly off the right edge", QRect(1000, 80, 700, 500), {left}, QRect(1000, 80, 700, 500)},
        {"its caption off the top", QRect(100, -300, 700, 500), {left}, std::nullopt},
        {"on a screen that is gone", QRect(1500, 100, 700, 500), {left}, std::nullopt},
        {"on the second screen", QRect(1500, 100, 700, 500), {left, right}, QRect(1500, 100, 700, 500)},
        {"larger than its screen: cut to it", QRect(0, 0, 2000, 1200), {left}, QRect(0, 0, 1280, 900)},
        {"only a sliver of the caption shows", QRect(1250, 80, 700, 500), {left}, std::nullopt},
        {"no screens", QRect(0, 0, 700, 500), {}, std::nullopt},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PlaceOnScreens(c.wanted, c.screens), c.placed) << c.name;
}

} // namespace
