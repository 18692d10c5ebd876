// The demo's PDF files: QPdfWriter, with the creation date it stamps made a fixed one.
#include "DemoFileFormats.h"
#include "TableWriter.h"

#include <QBuffer>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

namespace zq::seed {

namespace {

// The same creation date in every file, in place of the time of the run. The PDF's cross-reference
// table counts bytes, so the date keeps its length: the spaces after it are whitespace to PDF.
void FixCreationDate(QByteArray& pdf)
{
    static constexpr QByteArrayView kKey("/CreationDate (");
    const qsizetype key = pdf.indexOf(kKey);
    const qsizetype start = key < 0 ? -1 : key + kKey.size();
    const qsizetype end = start < 0 ? -1 : pdf.indexOf(')', start);
    if (end < 0)
        return;
    const QByteArray fixed = "D:20260101000000";
    const qsizetype length = end - start;
    if (length < fixed.size())
        return;
    pdf.replace(start, length + 1, fixed + ')' + QByteArray(length - fixed.size(), ' '));
}

} // namespace

QByteArray MakePdf(const QString& title, const QStringList& lines)
{
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw SeedError(QStringLiteral("the demo's PDF files need a QGuiApplication"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    {
        QPdfWriter writer(&buffer);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("pdm-seed"));
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setResolution(300);
        QPainter painter(&writer);
        QFont titleFont(QStringLiteral("WenQuanYi Micro Hei"));
        titleFont.setPointSize(16);
        titleFont.setBold(true);
        QFont bodyFont(QStringLiteral("WenQuanYi Micro Hei"));
        bodyFont.setPointSize(11);
        const int left = 250, top = 300;
        const int bottom = writer.height() - 300;
        int y = top;
        for (qsizetype i = 0; i < lines.size(); ++i) {
            painter.setFont(i == 0 ? titleFont : bodyFont);
            const int step = QFontMetrics(painter.font(), &writer).lineSpacing() * 3 / 2;
            if (y + step > bottom) {
                writer.newPage();
                y = top;
            }
            y += step;
            painter.drawText(left, y, lines[i]);
        }
    }
    QByteArray pdf = buffer.data();
    FixCreationDate(pdf);
    return pdf;
}

} // namespace zq::seed
