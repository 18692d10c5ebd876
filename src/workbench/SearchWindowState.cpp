#include "SearchWindowState.h"

#include <QJsonObject>

namespace zq {

namespace {

const QString kWindow = QStringLiteral("searchWindow");
const QString kGeometry = QStringLiteral("geometry");
const QString kColumns = QStringLiteral("columns");
const QString kPreview = QStringLiteral("preview");

// How much of a remembered window's top edge must show on a screen for it to be put there: enough
// of its caption to take it with the mouse.
constexpr int kGraspWidth = 100;
constexpr int kGraspHeight = 20;
constexpr int kSmallestSide = 50;

QJsonObject windowSection(const QJsonObject& content)
{
    return content.value(kWindow).toObject();
}

// Changes one member of the window's section, keeping the rest of the file and of the section.
void editSection(QJsonObject& content, const QString& key, const std::function<void(QJsonObject&)>& edit)
{
    QJsonObject section = windowSection(content);
    QJsonObject member = section.value(key).toObject();
    edit(member);
    section.insert(key, member);
    content.insert(kWindow, section);
}

} // namespace

SearchWindowState::SearchWindowState(UserSettingsFile file) : m_file(std::move(file)) {}

std::optional<WindowPlacement> SearchWindowState::placement() const
{
    const QJsonObject geometry = windowSection(m_file.read()).value(kGeometry).toObject();
    const QRect normal(geometry.value(QStringLiteral("x")).toInt(), geometry.value(QStringLiteral("y")).toInt(),
                       geometry.value(QStringLiteral("width")).toInt(), geometry.value(QStringLiteral("height")).toInt());
    if (normal.width() < kSmallestSide || normal.height() < kSmallestSide)
        return std::nullopt;
    return WindowPlacement{normal, geometry.value(QStringLiteral("maximized")).toBool()};
}

bool SearchWindowState::savePlacement(const WindowPlacement& placement, QString* error) const
{
    return m_file.update(
        [&](QJsonObject& content) {
            editSection(content, kGeometry, [&](QJsonObject& geometry) {
                geometry.insert(QStringLiteral("x"), placement.normal.x());
                geometry.insert(QStringLiteral("y"), placement.normal.y());
                geometry.insert(QStringLiteral("width"), placement.normal.width());
                geometry.insert(QStringLiteral("height"), placement.normal.height());
                geometry.insert(QStringLiteral("maximized"), placement.maximized);
            });
        },
        error);
}

PreviewPaneState SearchWindowState::previewPane() const
{
    const QJsonObject pane = windowSection(m_file.read()).value(kPreview).toObject();
    const int width = pane.value(QStringLiteral("width")).toInt();
    return {pane.value(QStringLiteral("shown")).toBool(), width >= kSmallestSide ? width : 0};
}

bool SearchWindowState::savePreviewPane(const PreviewPaneState& pane, QString* error) const
{
    return m_file.update(
        [&](QJsonObject& content) {
            editSection(content, kPreview, [&](QJsonObject& member) {
                member.insert(QStringLiteral("shown"), pane.shown);
                if (pane.width > 0)
                    member.insert(QStringLiteral("width"), pane.width);
            });
        },
        error);
}

QMap<QString, int> SearchWindowState::columnWidths(const QString& tab) const
{
    return allColumnWidths().value(tab);
}

QMap<QString, QMap<QString, int>> SearchWindowState::allColumnWidths() const
{
    QMap<QString, QMap<QString, int>> all;
    const QJsonObject tabs = windowSection(m_file.read()).value(kColumns).toObject();
    for (auto tab = tabs.begin(); tab != tabs.end(); ++tab) {
        const QJsonObject columns = tab.value().toObject();
        for (auto it = columns.begin(); it != columns.end(); ++it)
            if (it.value().isDouble() && it.value().toInt() > 0)
                all[tab.key()].insert(it.key(), it.value().toInt());
    }
    return all;
}

bool SearchWindowState::saveColumnWidths(const QString& tab, const QMap<QString, int>& widths, QString* error) const
{
    return m_file.update(
        [&](QJsonObject& content) {
            editSection(content, kColumns, [&](QJsonObject& tabs) {
                QJsonObject columns = tabs.value(tab).toObject();
                for (auto it = widths.begin(); it != widths.end(); ++it)
                    columns.insert(it.key(), it.value());
                tabs.insert(tab, columns);
            });
        },
        error);
}

std::optional<QRect> PlaceOnScreens(const QRect& wanted, const QList<QRect>& screens)
{
    const QRect grasp(wanted.left(), wanted.top(), wanted.width(), kGraspHeight);
    for (const QRect& screen : screens) {
        const QRect shown = grasp & screen;
        if (shown.width() < std::min(kGraspWidth, wanted.width()) || shown.height() < kGraspHeight)
            continue;
        QRect placed = wanted;
        placed.setWidth(std::min(wanted.width(), screen.width()));
        placed.setHeight(std::min(wanted.height(), screen.height()));
        return placed;
    }
    return std::nullopt;
}

} // namespace zq
