#pragma once
// What the search window remembers of its user from one session to the next: where it stood on
// the screen (its size and position, maximised or not), the widths the user gave the result
// list's columns on each tab, and the preview pane (shown, its width). Kept in the user's window.json, under "searchWindow"; what else the
// file holds is left as it is.
#include "UserSettingsFile.h"

#include <QList>
#include <QMap>
#include <QRect>
#include <QString>
#include <optional>

namespace zq {

// The preview pane beside the result list: shown or not, and its width.
struct PreviewPaneState {
    bool shown = false;
    int width = 0;            // 0: not set yet (the pane takes its default share)
};

struct WindowPlacement {
    QRect normal;             // the window's geometry when not maximised, frame excluded
    bool maximized = false;
};

class SearchWindowState {
public:
    explicit SearchWindowState(UserSettingsFile file = UserSettingsFile(UserSettingsFile::InUserFolder(QStringLiteral("window.json"))));

    std::optional<WindowPlacement> placement() const;
    bool savePlacement(const WindowPlacement& placement, QString* error = nullptr) const;

    // The widths by column heading that the user set on the tab; on every tab (by tab) at once.
    QMap<QString, int> columnWidths(const QString& tab) const;
    QMap<QString, QMap<QString, int>> allColumnWidths() const;
    // Adds the widths to those remembered for the tab (other headings and tabs stay).
    bool saveColumnWidths(const QString& tab, const QMap<QString, int>& widths, QString* error = nullptr) const;

    PreviewPaneState previewPane() const;
    bool savePreviewPane(const PreviewPaneState& pane, QString* error = nullptr) const;

    const UserSettingsFile& file() const { return m_file; }

private:
    UserSettingsFile m_file;
};

// Where a window remembered at `wanted` goes on the screens there are now (their available
// areas): there when its top edge shows on one of them, else nullopt (the caller centres it).
// Its size is cut to the screen it lands on.
std::optional<QRect> PlaceOnScreens(const QRect& wanted, const QList<QRect>& screens);

} // namespace zq
