// The demo's picture: a gearbox seen from the front, drawn in a few shapes (no text: a picture
// whose words nothing reads would only mislead).
#include "DemoFileFormats.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>

namespace zq::seed {

QByteArray MakePng()
{
    QImage picture(480, 320, QImage::Format_RGB32);
    picture.fill(QColor(245, 247, 250));
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(40, 60, 90), 3));
    painter.setBrush(QColor(120, 150, 190));
    painter.drawRoundedRect(QRectF(60, 120, 360, 150), 14, 14);   // the housing
    painter.setBrush(QColor(150, 175, 210));
    painter.drawRoundedRect(QRectF(90, 70, 300, 60), 10, 10);     // its cover
    painter.setBrush(QColor(200, 205, 215));
    for (const QPointF centre : {QPointF(160, 195), QPointF(320, 195)}) {
        painter.drawEllipse(centre, 48, 48);                       // bearing seats
        painter.drawEllipse(centre, 18, 18);
    }
    painter.setBrush(QColor(90, 90, 100));
    painter.drawRect(QRectF(10, 185, 60, 20));                     // input shaft
    painter.drawRect(QRectF(410, 180, 60, 30));                    // output shaft
    painter.end();
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return png;
}

} // namespace zq::seed
