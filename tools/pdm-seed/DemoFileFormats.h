#pragma once
// The demo's stored files as real files of their type, so that the content index finds words
// inside them. Each maker gives the same bytes for the same content.
#include "ZipWriter.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace zq::seed {

// A4 pages of text lines (QPdfWriter; needs a QGuiApplication). The first line is the title.
QByteArray MakePdf(const QString& title, const QStringList& lines);
// A Word document (Office Open XML), one paragraph a line; the first one bold.
QByteArray MakeDocx(const QStringList& paragraphs, ZipWriter::Method method = ZipWriter::Method::Deflated);
// An Excel workbook (Office Open XML) of one sheet: rows of cells, text in the shared strings,
// plain numbers as numbers.
QByteArray MakeXlsx(const QString& sheetName, const QList<QStringList>& rows);
// An AutoCAD R2000 drawing exchange file, ANSI_936 (GBK): one TEXT entity a line of `texts` and
// one MTEXT entity holding `mtext` as written (with its format codes), in 250-byte pieces.
// Characters GBK lacks are written as \U+XXXX.
QByteArray MakeDxf(const QStringList& texts, const QString& mtext);
// Comma-separated values, UTF-8 with a byte-order mark (as spreadsheet programs write them), CR LF.
QByteArray MakeCsv(const QList<QStringList>& rows);
// A picture of a gearbox, PNG.
QByteArray MakePng();

} // namespace zq::seed
