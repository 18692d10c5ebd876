#pragma once
// A strict reader of CSV text for the tests, to read back what zqpdm-search writes.
#include <QList>
#include <QString>
#include <QStringList>
#include <gtest/gtest.h>

namespace zq::test {

// RFC 4180: records end in CR LF; a field holding a comma, quote or line break is quoted with
// its quotes doubled. Anything else (a bare line break, a quote inside an unquoted field) fails.
inline QList<QStringList> readCsv(const QString& text)
{
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool inQuotes = false;
    bool wasQuoted = false;
    auto next = [&text](qsizetype i) { return i + 1 < text.size() ? text[i + 1] : QChar(); };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (inQuotes) {
            if (c == u'"' && next(i) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                inQuotes = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            EXPECT_TRUE(field.isEmpty() && !wasQuoted) << "a quote inside an unquoted field at " << i;
            inQuotes = wasQuoted = true;
        } else if (c == u',' || (c == u'\r' && next(i) == u'\n')) {
            record.append(field);
            field.clear();
            wasQuoted = false;
            if (c == u'\r') {
                records.append(record);
                record.clear();
                ++i;
            }
        } else {
            EXPECT_FALSE(c == u'\r' || c == u'\n' || wasQuoted) << "stray character at " << i;
            field += c;
        }
    }
    EXPECT_FALSE(inQuotes) << "unterminated quote";
    EXPECT_TRUE(field.isEmpty() && record.isEmpty()) << "the last record does not end in CR LF";
    return records;
}

} // namespace zq::test
