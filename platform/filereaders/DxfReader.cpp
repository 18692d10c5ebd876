#include "DxfReader.h"
#include "DxfPairs.h"
#include "DxfText.h"
#include "ExtractionRun.h"

namespace zq::extract {

namespace {

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
    void finish(DxfValueDecoder& decoder, TextBuilder& text)
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
    if (IsBinaryDxf(bytes)) {
        run.fail(QStringLiteral("DXF 文件是二进制格式, 不能提取文本"));
        return;
    }
    if (bytes.size() > run.limits().maxReadBytes) {
        bytes = bytes.first(qsizetype(run.limits().maxReadBytes));
        run.readCut();
    }
    DxfPairReader pairs(bytes);
    DxfValueDecoder decoder;
    DxfHeaderVariables header;
    TextEntity entity;
    QByteArray section;
    bool sectionNameNext = false;
    bool anyPair = false;
    bool reachedEnd = false;
    int code = 0;
    QByteArrayView value;
    while (!run.mustStop()) {
        const DxfPairReader::Next next = pairs.next(code, value);
        if (next == DxfPairReader::Next::End) {
            reachedEnd = true;
            break;
        }
        if (next == DxfPairReader::Next::NotACode) {
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
            header.add(code, value, decoder);
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
