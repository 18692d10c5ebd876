#pragma once
// The cells of one worksheet of an Excel workbook, row by row, each as the sheet shows it: shared
// and inline strings, numbers and dates by their cell's number format (and a number's stored
// value beside it where the format hides digits, as the formula bar shows it), the cached result
// of a formula (the formula itself is not shown), TRUE and FALSE, errors such as #DIV/0!.
#include "SpreadsheetValues.h"
#include "XmlPartReader.h"

#include <QList>
#include <QStringList>

namespace zq::extract {

class TextBuilder;

struct WorkbookStyle {
    QStringList sharedStrings;           // by index
    QList<NumberFormat> cellFormats;     // by the cell's style index (cellXfs)
    bool date1904 = false;               // days counted from 1904-01-01
};

class SheetXmlReader : public XmlPartReader {
public:
    SheetXmlReader(const WorkbookStyle& workbook, TextBuilder& text);

protected:
    void startElement(const QXmlStreamReader& xml) override;
    void endElement(const QXmlStreamReader& xml) override;
    void characters(const QXmlStreamReader& xml) override;
    bool satisfied() const override;

private:
    QString cellText() const;

    const WorkbookStyle& m_workbook;
    TextBuilder& m_text;
    QString m_type;          // the cell's t: s, inlineStr, str, b, e, d, n
    qsizetype m_style = 0;   // the cell's s
    QString m_value;         // of <v>
    QString m_inline;        // the t of <is>, phonetic guides left out
    bool m_inValue = false;
    bool m_inInlineText = false;
    int m_phonetic = 0;      // open rPh elements
};

} // namespace zq::extract
