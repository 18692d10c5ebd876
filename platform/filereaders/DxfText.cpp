#include "DxfText.h"
#include "GbkText.h"

#include <QStringDecoder>

#include <optional>

namespace zq::extract {

namespace {

// A scanner over one value; `mtext` turns on the format codes of MTEXT.
class DxfTextScanner {
public:
    DxfTextScanner(QStringView value, bool mtext) : m_in(value), m_mtext(mtext) { m_out.reserve(value.size()); }

    QString run()
    {
        while (m_at < m_in.size()) {
            const QChar c = m_in[m_at];
            if (c == u'\\' && escape())
                continue;
            if (c == u'%' && percentCode())
                continue;
            if (c == u'^' && caret())
                continue;
            if (m_mtext && (c == u'{' || c == u'}')) {
                ++m_at;
                continue;
            }
            flushSurrogate();
            m_out += c;
            ++m_at;
        }
        flushSurrogate();
        return m_out;
    }

private:
    QChar at(qsizetype i) const { return i < m_in.size() ? m_in[i] : QChar(); }

    static int hexDigit(char16_t c)
    {
        if (c >= u'0' && c <= u'9')
            return c - u'0';
        if (c >= u'a' && c <= u'f')
            return c - u'a' + 10;
        if (c >= u'A' && c <= u'F')
            return c - u'A' + 10;
        return -1;
    }

    // The value of `count` hex digits at `from`, or -1.
    int hexAt(qsizetype from, int count) const
    {
        if (from + count > m_in.size())
            return -1;
        int value = 0;
        for (qsizetype i = from; i < from + count; ++i) {
            const int digit = hexDigit(m_in[i].unicode());
            if (digit < 0)
                return -1;
            value = value * 16 + digit;
        }
        return value;
    }

    // A pair written as two escapes stays a pair; half of one is no character.
    void putUnit(char16_t unit)
    {
        if (QChar::isLowSurrogate(unit) && m_pendingHigh) {
            m_out += QChar(m_pendingHigh);
            m_out += QChar(unit);
            m_pendingHigh = 0;
            return;
        }
        flushSurrogate();
        if (QChar::isHighSurrogate(unit))
            m_pendingHigh = unit;
        else if (QChar::isLowSurrogate(unit))
            m_out += QChar(QChar::ReplacementCharacter);
        else
            m_out += QChar(unit);
    }

    void flushSurrogate()
    {
        if (m_pendingHigh)
            m_out += QChar(QChar::ReplacementCharacter);
        m_pendingHigh = 0;
    }

    void putText(const QString& text)
    {
        flushSurrogate();
        m_out += text;
    }

    // \U+XXXX, \M+NXXXX, and in MTEXT the format codes. False: the backslash is text.
    bool escape()
    {
        const QChar code = at(m_at + 1);
        if ((code == u'U' || code == u'u') && at(m_at + 2) == u'+') {
            const int unit = hexAt(m_at + 3, 4);
            if (unit >= 0) {
                putUnit(char16_t(unit));
                m_at += 7;
                return true;
            }
        }
        if ((code == u'M' || code == u'm') && at(m_at + 2) == u'+' && at(m_at + 3).isDigit()) {
            const int bytes = hexAt(m_at + 4, 4);
            if (bytes >= 0) {
                putText(multiByte(at(m_at + 3).unicode() - u'0', bytes));
                m_at += 8;
                return true;
            }
        }
        return m_mtext && formatCode(code);
    }

    // A double-byte character of an Asian code page: 1 Shift-JIS, 2 Big5, 3 KS C 5601, 4 Johab, 5 GB 2312.
    static QString multiByte(int codePage, int value)
    {
        QByteArray bytes;
        if (value > 0xFF)
            bytes += char(value >> 8);
        bytes += char(value & 0xFF);
        if (codePage == 5)
            return zq::DecodeGbk(bytes);
        static constexpr const char* kNames[] = {"Shift_JIS", "Big5", "EUC-KR", "Johab"};
        if (codePage < 1 || codePage > 4)
            return QString(QChar(QChar::ReplacementCharacter));
        // Opening a codec costs far more than one character: one each a thread.
        thread_local std::optional<QStringDecoder> decoders[4];
        std::optional<QStringDecoder>& decoder = decoders[codePage - 1];
        if (!decoder)
            decoder.emplace(kNames[codePage - 1], QStringDecoder::Flag::Stateless);
        return decoder->isValid() ? decoder->decode(bytes) : QString(QChar(QChar::ReplacementCharacter));
    }

    bool formatCode(QChar code)
    {
        switch (code.unicode()) {
        case u'P': case u'N': case u'X':
            putText(QStringLiteral("\n"));
            m_at += 2;
            return true;
        case u'~':
            putText(QStringLiteral(" "));
            m_at += 2;
            return true;
        case u'\\': case u'{': case u'}':
            putText(QString(code));
            m_at += 2;
            return true;
        case u'L': case u'l': case u'O': case u'o': case u'K': case u'k':
            m_at += 2;
            return true;
        case u'f': case u'F': case u'H': case u'W': case u'Q': case u'T': case u'A': case u'C': case u'c': case u'p':
            m_at = endOfParameter(m_at + 2);
            return true;
        case u'S':
            stack();
            return true;
        default:
            return false;
        }
    }

    // After the ';' that ends a parameter, or the end of the value.
    qsizetype endOfParameter(qsizetype from) const
    {
        const qsizetype semicolon = m_in.indexOf(u';', from);
        return semicolon < 0 ? m_in.size() : semicolon + 1;
    }

    // \Supper^lower; (also / and #): written upper/lower.
    void stack()
    {
        const qsizetype end = endOfParameter(m_at + 2);
        const qsizetype contentEnd = end > 0 && at(end - 1) == u';' ? end - 1 : end;
        QString stacked;
        for (qsizetype i = m_at + 2; i < contentEnd; ++i) {
            const QChar c = m_in[i];
            if (c == u'\\' && i + 1 < contentEnd) {
                stacked += m_in[++i];   // an escaped separator or ';'
            } else if (c == u'^' || c == u'/' || c == u'#') {
                stacked += u'/';
            } else {
                stacked += c;
            }
        }
        putText(stacked);
        m_at = end;
    }

    // %%c %%d %%p %%% %%nnn, and the toggles %%u %%o %%k. False: the percent sign is text.
    bool percentCode()
    {
        if (at(m_at + 1) != u'%')
            return false;
        const QChar code = at(m_at + 2);
        switch (code.toLower().unicode()) {
        case u'c': putText(QString(QChar(0x00D8))); break;   // diameter
        case u'd': putText(QString(QChar(0x00B0))); break;   // degree
        case u'p': putText(QString(QChar(0x00B1))); break;   // plus or minus
        case u'%': putText(QStringLiteral("%")); break;
        case u'u': case u'o': case u'k': break;
        default: {
            if (code.isDigit() && at(m_at + 3).isDigit() && at(m_at + 4).isDigit()) {
                const int value = m_in.sliced(m_at + 2, 3).toInt();
                putUnit(char16_t(value));
                m_at += 5;
                return true;
            }
            return false;
        }
        }
        m_at += 3;
        return true;
    }

    // ^I is a tab, ^J a line feed, ^ followed by a space a caret.
    bool caret()
    {
        const QChar next = at(m_at + 1);
        if (next == u' ') {
            putText(QStringLiteral("^"));
        } else if (next.unicode() >= u'@' && next.unicode() <= u'_') {
            putUnit(char16_t(next.unicode() - u'@'));
        } else {
            return false;
        }
        m_at += 2;
        return true;
    }

    QStringView m_in;
    bool m_mtext;
    qsizetype m_at = 0;
    QString m_out;
    char16_t m_pendingHigh = 0;
};

} // namespace

QString DecodeDxfText(QStringView value)
{
    return DxfTextScanner(value, false).run();
}

QString StripMtextCodes(QStringView value)
{
    return DxfTextScanner(value, true).run();
}

} // namespace zq::extract
