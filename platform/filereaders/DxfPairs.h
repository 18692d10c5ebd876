#pragma once
// The group-code/value pairs of an ASCII DXF file and the decoding of its text values: what every
// reader of DXF (the text for the index, the drawing for the preview) reads a file through.
#include <QByteArrayView>
#include <QString>
#include <QStringDecoder>
#include <optional>

namespace zq::extract {

// "AutoCAD Binary DXF" files start with this; they are not read.
bool IsBinaryDxf(QByteArrayView bytes);

// The lines of an ASCII DXF file taken two at a time: a group code and its value.
class DxfPairReader {
public:
    explicit DxfPairReader(QByteArrayView bytes);

    enum class Next { Pair, End, NotACode };
    Next next(int& code, QByteArrayView& value);
    // The line of the last group code read (1-based), for messages about a damaged file.
    qint64 codeLineNumber() const { return m_codeLine; }

private:
    bool nextLine(QByteArrayView& line);

    QByteArrayView m_bytes;
    qsizetype m_at = 0;
    qint64 m_line = 0;
    qint64 m_codeLine = 0;
};

// Text values as the header says they are written ($ACADVER AC1021 on: UTF-8; else
// $DWGCODEPAGE, where ANSI_936 or none means GBK, or UTF-8 when a value is valid UTF-8).
class DxfValueDecoder {
public:
    void setVersion(QByteArrayView acadVersion);
    void setCodePage(QByteArrayView codePage);
    QString decode(QByteArrayView bytes);

private:
    bool m_utf8 = false;
    std::optional<QStringDecoder> m_codec;
};

// Follows the HEADER section's variables that tell how text is written.
class DxfHeaderVariables {
public:
    void add(int code, QByteArrayView value, DxfValueDecoder& decoder);

private:
    QByteArray m_variable;
};

} // namespace zq::extract
