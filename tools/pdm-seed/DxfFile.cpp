// The demo's drawing exchange file: a header that names the version and code page, and the text
// entities of a title block and its notes.
#include "DemoFileFormats.h"
#include "GbkText.h"

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
    out.pair(2, "ENTITIES");
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
