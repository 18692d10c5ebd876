#pragma once
// --preview ROW --preview-out FILE [--preview-size WxH]: the picture the search window's preview
// pane shows of a listed row, written as a PNG file: the page or drawing itself, or the pane as
// it shows a text or a row's fields.
#include <QSize>
#include <QString>

class CZQSearchPage;

namespace zq::tool {

inline constexpr QSize kDefaultPreviewSize{800, 600};

// "" when the file was written; else why no picture could be made.
QString WritePreview(CZQSearchPage& page, int row, const QString& file, QSize size);

} // namespace zq::tool
