// The demo's drawing exchange file: a header that names the version and code page, a part drawn
// with blocks (a bolt hole inside a flange pattern), arcs and a rounded outline, and the text
// entities of a title block and its notes.
#include "DemoFileFormats.h"
#include "GbkText.h"

#include <array>

namespace zq::seed {

namespace {

// A value as AutoCAD writes it for code page ANSI_936: GBK, and \U+XXXX for what GBK lacks.
QByteArray DxfValue(QStringView text)
{
    QByteArray bytes;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QStringView one = text.sliced(i, 1);
        if (zq::GbkLength(one.toString()) <= 2 && !one.front().isSurrogate())
            bytes += zq::EncodeGbk(one.toString());
        else
            bytes += QStringLiteral("\\U+%1").arg(one.front().unicode(), 4, 16, QLatin1Char('0')).toUpper().toLatin1();
    }
    return bytes;
}

class DxfOut {
public:
    void pair(int code, const QByteArray& value) { m_bytes += QByteArray::number(code).rightJustified(3, ' ') + "\r\n" + value + "\r\n"; }
    void pair(int code, double value) { pair(code, QByteArray::number(value, 'f', 1)); }
    QByteArray bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// A bolt hole: the hole and its centre lines.
void BoltBlock(DxfOut& out)
{
    out.pair(0, "BLOCK");
    out.pair(8, "0");
    out.pair(2, "BOLT");
    out.pair(70, "0");
    out.pair(10, 0.0);
    out.pair(20, 0.0);
    out.pair(0, "CIRCLE");
    out.pair(8, "0");
    out.pair(10, 0.0);
    out.pair(20, 0.0);
    out.pair(40, 4.5);
    for (const auto& [x1, y1, x2, y2] : {std::array{-7.0, 0.0, 7.0, 0.0}, std::array{0.0, -7.0, 0.0, 7.0}}) {
        out.pair(0, "LINE");
        out.pair(8, "0");
        out.pair(10, x1);
        out.pair(20, y1);
        out.pair(11, x2);
        out.pair(21, y2);
    }
    out.pair(0, "ENDBLK");
}

// A bearing seat: its bore, an arc of the boss and four bolt holes (BOLT inside this block).
void SeatBlock(DxfOut& out)
{
    out.pair(0, "BLOCK");
    out.pair(8, "0");
    out.pair(2, "SEAT");
    out.pair(70, "0");
    out.pair(10, 0.0);
    out.pair(20, 0.0);
    out.pair(0, "CIRCLE");
    out.pair(8, "0");
    out.pair(10, 0.0);
    out.pair(20, 0.0);
    out.pair(40, 36.0);
    out.pair(0, "ARC");
    out.pair(8, "0");
    out.pair(10, 0.0);
    out.pair(20, 0.0);
    out.pair(40, 52.0);
    out.pair(50, 0.0);
    out.pair(51, 180.0);
    for (const auto& [x, y] : {std::array{-44.0, 8.0}, std::array{44.0, 8.0}, std::array{-30.0, 34.0}, std::array{30.0, 34.0}}) {
        out.pair(0, "INSERT");
        out.pair(8, "0");
        out.pair(2, "BOLT");
        out.pair(10, x);
        out.pair(20, y);
    }
    out.pair(0, "ENDBLK");
}

// The housing's outline: a rectangle with rounded corners (bulges of a quarter circle).
void Outline(DxfOut& out)
{
    out.pair(0, "LWPOLYLINE");
    out.pair(8, "0");
    out.pair(90, "8");
    out.pair(70, "1");
    const double b = 0.414214;   // tan(90° / 4)
    const std::array<std::array<double, 3>, 8> corners{{{20, 60, 0}, {260, 60, b}, {270, 70, 0}, {270, 150, b},
                                                       {260, 160, 0}, {20, 160, b}, {10, 150, 0}, {10, 70, b}}};
    for (const auto& [x, y, bulge] : corners) {
        out.pair(10, x);
        out.pair(20, y);
        if (bulge != 0)
            out.pair(42, QByteArray::number(bulge, 'f', 6));
    }
}

} // namespace

QByteArray MakeDxf(const QStringList& texts, const QString& mtext)
{
    DxfOut out;
    out.pair(0, "SECTION");
    out.pair(2, "HEADER");
    out.pair(9, "$ACADVER");
    out.pair(1, "AC1015");
    out.pair(9, "$DWGCODEPAGE");
    out.pair(3, "ANSI_936");
    out.pair(0, "ENDSEC");
    out.pair(0, "SECTION");
    out.pair(2, "BLOCKS");
    BoltBlock(out);
    SeatBlock(out);
    out.pair(0, "ENDSEC");
    out.pair(0, "SECTION");
    out.pair(2, "ENTITIES");
    Outline(out);
    for (const double x : {80.0, 200.0}) {
        out.pair(0, "INSERT");
        out.pair(8, "0");
        out.pair(2, "SEAT");
        out.pair(10, x);
        out.pair(20, 100.0);
    }
    double y = 280.0;
    for (const QString& text : texts) {
        out.pair(0, "TEXT");
        out.pair(8, "0");
        out.pair(10, 20.0);
        out.pair(20, y);
        out.pair(30, 0.0);
        out.pair(40, 5.0);
        out.pair(1, DxfValue(text));
        y -= 10.0;
    }
    out.pair(0, "MTEXT");
    out.pair(8, "0");
    out.pair(10, 20.0);
    out.pair(20, y);
    out.pair(30, 0.0);
    out.pair(40, 3.5);
    out.pair(41, 160.0);
    // Pieces of at most 250 bytes, never splitting a character or an escape.
    QByteArray piece;
    for (qsizetype i = 0; i < mtext.size(); ++i) {
        const QByteArray one = DxfValue(QStringView(mtext).sliced(i, 1));
        if (piece.size() + one.size() > 250) {
            out.pair(3, piece);
            piece.clear();
        }
        piece += one;
    }
    out.pair(1, piece);
    out.pair(0, "ENDSEC");
    out.pair(0, "EOF");
    return out.bytes();
}

} // namespace zq::seed
