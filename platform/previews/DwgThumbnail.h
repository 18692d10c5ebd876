#pragma once
// The preview picture an AutoCAD DWG file (R13 and later) carries in its header: a BMP or PNG
// that the program that saved it drew. Nothing else of the file is read.
#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace zq::preview {

struct DwgThumbnail {
    enum class Format { None, Bmp, Png, Wmf };
    Format format = Format::None;
    QByteArray data;    // a whole BMP file (its header made) or PNG file, ready for an image reader
    QString version;    // "AC1018" ...
    QString why;        // when there is no picture: why
};

DwgThumbnail ReadDwgThumbnail(QByteArrayView file);

} // namespace zq::preview
