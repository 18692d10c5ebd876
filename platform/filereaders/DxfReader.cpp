#include "DxfReader.h"
#include "DxfText.h"
#include "ExtractionRun.h"
#include "GbkText.h"

#include <QStringDecoder>

#include <cstring>
#include <optional>

namespace zq::extract {

namespace {

constexpr QByteArrayView kBinarySentinel("AutoCAD Binary DXF\r\n\x1a\0", 22);

// The lines of an ASCII DXF file taken two at a time: a group code and its value.
class PairReader {
public:
    explicit PairReader(QByteArrayView bytes) : m_bytes(bytes) {}

    enum class Next { Pair, End, NotACode };
    Next next(int& code, QByteArrayView& value)
    {
        QByteArrayView codeLine;
        if (!nextLine(codeLine))
            return Next::End;
        m_codeLine = m_line;
        codeLine = codeLine.trimmed();
        if (!nextLine(value))
            return Next::End;   // a code without its value ends the file
        return parseCode(codeLine, code) ? Next::Pair : Next::NotACode;
    }
    qint64 codeLineNumber() const { return m_codeLine; }

private:
    bool nextLine(QByteArrayView& line)
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

    static bool parseCode(QByteArrayView text, int& code)
    {
        if (text.isEmpty() || text.size() > 6)
            return false;
        bool ok = false;
        code = text.toInt(&ok);
        return ok;
    }

    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    qint64 m_line = 0;
    qint64 m_codeLine = 0;
};

// Values as the header says they are written.
class ValueDecoder {
public:
    void setVersion(QByteArrayView acadVersion)
    {
        // AC1021 (AutoCAD 2007) and later write UTF-8 whatever the code page.
        bool ok = false;
        const int number = acadVersion.startsWith("AC") ? acadVersion.sliced(2).trimmed().toInt(&ok) : 0;
        m_utf8 = ok && number >= 1021;
    }

    void setCodePage(QByteArrayView codePage)
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

    QString decode(QByteArrayView bytes)
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

private:
    bool m_utf8 = false;
    std::optional<QStringDecoder> m_codec;
};

// The entity being read, when it is one that holds text.
class TextEntity {
public:
    enum class Kind { None, Text, MText };

    void start(Kind kind)
    {
        m_kind = kind;
        m_value.clear();
        m_final.clear();
    }
    Kind kind() const { return m_kind; }

    void add(int code, QByteArrayView value)
    {
        if (code == 1)
            m_final = value.toByteArray();
        else if (code == 3 && m_kind == Kind::MText)
            m_value += value;   // MTEXT pieces of 250 bytes before the final one
    }

    // The entity's text, or nothing when it was not a text entity.
    void finish(ValueDecoder& decoder, TextBuilder& text)
    {
        if (m_kind == Kind::None)
            return;
        const QString value = decoder.decode(m_value + m_final);
        text.append(m_kind == Kind::MText ? StripMtextCodes(value) : DecodeDxfText(value));
        text.appendLineBreak();
        start(Kind::None);
    }

private:
    Kind m_kind = Kind::None;
    QByteArray m_value;
    QByteArray m_final;
};

TextEntity::Kind KindOf(QByteArrayView type)
{
    type = type.trimmed();
    if (type == "TEXT" || type == "ATTRIB")
        return TextEntity::Kind::Text;
    if (type == "MTEXT")
        return TextEntity::Kind::MText;
    return TextEntity::Kind::None;
}

} // namespace

void DxfReader::read(QByteArrayView bytes, ExtractionRun& run)
{
    if (bytes.startsWith(kBinarySentinel)) {
        run.fail(QStringLiteral("DXF 文件是二进制格式, 不能提取文本"));
        return;
    }
    if (bytes.size() > run.limits().maxReadBytes) {
        bytes = bytes.first(qsizetype(run.limits().maxReadBytes));
        run.readCut();
    }
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);

    PairReader pairs(bytes);
    ValueDecoder decoder;
    TextEntity entity;
    QByteArray section;
    QByteArray headerVariable;
    bool sectionNameNext = false;
    bool anyPair = false;
    bool reachedEnd = false;
    int code = 0;
    QByteArrayView value;
    while (!run.mustStop()) {
        const PairReader::Next next = pairs.next(code, value);
        if (next == PairReader::Next::End) {
            reachedEnd = true;
            break;
        }
        if (next == PairReader::Next::NotACode) {
            run.damaged(QStringLiteral("第 %1 行不是组码").arg(pairs.codeLineNumber()));
            break;
        }
        anyPair = true;
        if (code == 0) {
            entity.finish(decoder, run.text());
            const QByteArrayView type = value.trimmed();
            if (type == "EOF")
                break;
            if (type == "SECTION") {
                sectionNameNext = true;
            } else if (type == "ENDSEC") {
                section.clear();
            } else if (section == "ENTITIES" || section == "BLOCKS") {
                entity.start(KindOf(type));
            }
            continue;
        }
        if (sectionNameNext && code == 2) {
            section = value.trimmed().toByteArray().toUpper();
            sectionNameNext = false;
            continue;
        }
        if (section == "HEADER") {
            if (code == 9)
                headerVariable = value.trimmed().toByteArray().toUpper();
            else if (headerVariable == "$ACADVER" && code == 1)
                decoder.setVersion(value.trimmed());
            else if (headerVariable == "$DWGCODEPAGE" && code == 3)
                decoder.setCodePage(value);
            continue;
        }
        if (entity.kind() != TextEntity::Kind::None)
            entity.add(code, value);
    }
    if (!run.failed())
        entity.finish(decoder, run.text());
    if (!anyPair && reachedEnd)
        run.damaged(QStringLiteral("文件中没有组码"));
}

} // namespace zq::extract
