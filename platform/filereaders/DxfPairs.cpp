#include "DxfPairs.h"
#include "GbkText.h"

#include <algorithm>
#include <cstring>

namespace zq::extract {

namespace {

constexpr QByteArrayView kBinarySentinel("AutoCAD Binary DXF\r\n\x1a\0", 22);

bool ParseCode(QByteArrayView text, int& code)
{
    if (text.isEmpty() || text.size() > 6)
        return false;
    bool ok = false;
    code = text.toInt(&ok);
    return ok;
}

} // namespace

bool IsBinaryDxf(QByteArrayView bytes)
{
    return bytes.startsWith(kBinarySentinel);
}

DxfPairReader::DxfPairReader(QByteArrayView bytes) : m_bytes(bytes)
{
    if (m_bytes.startsWith("\xEF\xBB\xBF"))
        m_bytes = m_bytes.sliced(3);
}

DxfPairReader::Next DxfPairReader::next(int& code, QByteArrayView& value)
{
    QByteArrayView codeLine;
    if (!nextLine(codeLine))
        return Next::End;
    m_codeLine = m_line;
    codeLine = codeLine.trimmed();
    if (!nextLine(value))
        return Next::End;   // a code without its value ends the file
    return ParseCode(codeLine, code) ? Next::Pair : Next::NotACode;
}

bool DxfPairReader::nextLine(QByteArrayView& line)
{
    if (m_at >= m_bytes.size())
        return false;
    const char* start = m_bytes.data() + m_at;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', size_t(m_bytes.size() - m_at)));
    const qsizetype length = newline ? newline - start : m_bytes.size() - m_at;
    line = QByteArrayView(start, length);
    if (line.endsWith('\r'))
        line.chop(1);
    m_at += length + 1;
    ++m_line;
    return true;
}

void DxfValueDecoder::setVersion(QByteArrayView acadVersion)
{
    // AC1021 (AutoCAD 2007) and later write UTF-8 whatever the code page.
    bool ok = false;
    const int number = acadVersion.startsWith("AC") ? acadVersion.sliced(2).trimmed().toInt(&ok) : 0;
    m_utf8 = ok && number >= 1021;
}

void DxfValueDecoder::setCodePage(QByteArrayView codePage)
{
    m_codec.reset();
    const QByteArray page = codePage.trimmed().toByteArray().toUpper();
    if (!page.startsWith("ANSI_"))
        return;
    const QByteArray number = page.mid(5);
    QByteArray name;
    if (number == "932")
        name = "Shift_JIS";
    else if (number == "950")
        name = "Big5";
    else if (number == "949")
        name = "windows-949";
    else if (number != "936")
        name = "windows-" + number;
    if (name.isEmpty())
        return;   // GBK: the automatic rule below
    m_codec.emplace(name.constData(), QStringDecoder::Flag::Stateless);
    if (!m_codec->isValid())
        m_codec.reset();
}

QString DxfValueDecoder::decode(QByteArrayView bytes)
{
    if (m_utf8)
        return QString::fromUtf8(bytes);
    if (m_codec)
        return m_codec->decode(bytes);
    // GBK, unless the value is UTF-8 (a file that says nothing, or says ANSI_936 but was
    // written by a program that writes UTF-8).
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char b) { return uchar(b) < 0x80; });
    if (ascii || bytes.isValidUtf8())
        return QString::fromUtf8(bytes);
    return zq::DecodeGbk(bytes.toByteArray());
}

void DxfHeaderVariables::add(int code, QByteArrayView value, DxfValueDecoder& decoder)
{
    if (code == 9)
        m_variable = value.trimmed().toByteArray().toUpper();
    else if (m_variable == "$ACADVER" && code == 1)
        decoder.setVersion(value.trimmed());
    else if (m_variable == "$DWGCODEPAGE" && code == 3)
        decoder.setCodePage(value);
}

} // namespace zq::extract
