#pragma once
// Draws the preview of one local file: by its name's extension, a PDF's page, an image, a DXF
// drawing, a DWG's own preview picture, or the text the indexer's readers find in Office,
// OpenDocument and text files. Runs only in the preview worker: every file is untrusted.
#include "PreviewAnswer.h"

#include <QImage>

namespace zq::preview {

enum class PreviewKind { Pdf, Image, Dxf, Dwg, Text, None };

// By the file name's extension, ignoring case.
PreviewKind PreviewKindOf(const QString& fileName);

// The largest file read into memory to be drawn.
inline constexpr qint64 kMaxPreviewFileBytes = 64LL * 1024 * 1024;

PreviewAnswer RenderPreview(const PreviewRequest& request);

// The picture as PNG.
QByteArray PngOf(const QImage& picture);

} // namespace zq::preview
