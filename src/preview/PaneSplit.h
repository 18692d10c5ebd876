#pragma once
// Where the preview pane goes: the right part of the result list's place, a handle to drag
// between them. The list keeps enough width to be read, the pane enough to show something.
#include <QRect>

namespace zq::preview {

inline constexpr int kPaneHandleWidth = 5;
inline constexpr int kSmallestListWidth = 160;
inline constexpr int kSmallestPaneWidth = 140;

struct PaneSplit {
    QRect list;
    QRect handle;
    QRect pane;
};

// The list's place split for a pane of the wanted width (0: two fifths of the place).
PaneSplit SplitBesideList(const QRect& place, int wantedPaneWidth);

} // namespace zq::preview
