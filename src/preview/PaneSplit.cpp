#include "PaneSplit.h"

#include <algorithm>

namespace zq::preview {

PaneSplit SplitBesideList(const QRect& place, int wantedPaneWidth)
{
    const int room = place.width() - kPaneHandleWidth;
    int width = wantedPaneWidth > 0 ? wantedPaneWidth : place.width() * 2 / 5;
    if (room >= kSmallestListWidth + kSmallestPaneWidth)
        width = std::clamp(width, kSmallestPaneWidth, room - kSmallestListWidth);
    else
        width = std::max(0, room * 2 / 5);   // too narrow for both: each its share
    const int listWidth = std::max(0, room - width);
    PaneSplit split;
    split.list = QRect(place.left(), place.top(), listWidth, place.height());
    split.handle = QRect(split.list.right() + 1, place.top(), kPaneHandleWidth, place.height());
    split.pane = QRect(split.handle.right() + 1, place.top(), width, place.height());
    return split;
}

} // namespace zq::preview
