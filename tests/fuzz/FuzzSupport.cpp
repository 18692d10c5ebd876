#include "FuzzSupport.h"
#include "GbkText.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QStringList>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>
#include <vector>

namespace zqfuzz {

void EnsureCoreApp()
{
    if (QCoreApplication::instance())
        return;
    static int argc = 1;
    static char name[] = "zq-fuzz";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = new QCoreApplication(argc, argv);   // lives until the process ends
    Q_UNUSED(app);
}

void EnsureGuiApp()
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "zq-fuzz";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);   // lives until the process ends
    Q_UNUSED(app);
}

void Fail(const char* property, const QString& detail)
{
    std::fprintf(stderr, "\n*** property broken: %s\n%s\n", property, detail.toUtf8().constData());
    std::abort();
}

namespace {

// Pieces that have a meaning in SQL text, LIKE patterns, the system's patterns or file formats.
const QStringList& Fragments()
{
    static const QStringList pieces = {
        QStringLiteral("'"),          QStringLiteral("''"),       QStringLiteral("%"),
        QStringLiteral("_"),          QStringLiteral("*"),        QStringLiteral("?"),
        QStringLiteral("["),          QStringLiteral("]"),        QStringLiteral("[^a]"),
        QStringLiteral("\\"),         QStringLiteral("\\%"),      QStringLiteral("--"),
        QStringLiteral("/*"),         QStringLiteral("*/"),       QStringLiteral(";"),
        QStringLiteral("\""),         QStringLiteral("N'"),       QStringLiteral("||"),
        QStringLiteral("+"),          QStringLiteral("ltrim("),   QStringLiteral(")"),
        QStringLiteral("' OR '1'='1"), QStringLiteral("ESCAPE"),  QStringLiteral(" "),
        QStringLiteral("\t"),         QStringLiteral("\r\n"),     QString(QChar(0)),
        QString(QChar(0x7f)),         QStringLiteral("\x1b"),     QStringLiteral("O'型圈"),
        QStringLiteral("修改单"),     QStringLiteral("ZQ8600"),   QStringLiteral("€"),
        QStringLiteral("𝄞"),          QString(QChar(0xE000)),     QString(QChar(0xFFFD)),
        QString(QChar(0xD800)),       QString(QChar(0xDC00)),     QStringLiteral("ß"),
        QStringLiteral("İ"),          QStringLiteral("Ａ"),       QStringLiteral("2005-03-01"),
        QStringLiteral("::"),         QStringLiteral("@^"),       QStringLiteral("="),
    };
    return pieces;
}

QString Utf16Units(const std::string& bytes)
{
    QString text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        text += QChar(char16_t(uint8_t(bytes[i]) | (uint8_t(bytes[i + 1]) << 8)));
    return text;
}

} // namespace

QString HostileText(FuzzedDataProvider& input, bool allowLong)
{
    // A long text costs a hundred short ones in every check that walks it: one text in 64 is long,
    // so that a run spends its time on the many shapes of short texts, yet meets long ones often.
    const bool longText = allowLong && input.ConsumeIntegralInRange(0, 63) == 0;
    const int mode = longText ? 8 : input.ConsumeIntegralInRange(0, 7);
    QString text;
    switch (mode) {
    case 0:
    case 1:
        text = QString::fromUtf8(input.ConsumeRandomLengthString(64));
        break;
    case 2:
        text = Utf16Units(input.ConsumeRandomLengthString(64));
        break;
    case 3:
        text = zq::DecodeGbk(QByteArray::fromStdString(input.ConsumeRandomLengthString(64)));
        break;
    case 4:
    case 5:
    case 6: {
        const int pieces = input.ConsumeIntegralInRange(1, 6);
        for (int i = 0; i < pieces; ++i) {
            text += Fragments().at(input.ConsumeIntegralInRange<int>(0, int(Fragments().size()) - 1));
            if (input.ConsumeBool())
                text += QString::fromUtf8(input.ConsumeRandomLengthString(4));
        }
        break;
    }
    case 7:
        break;   // empty
    default: {
        // A long text: a piece repeated up to 10,000 characters.
        QString piece = QString::fromUtf8(input.ConsumeRandomLengthString(8));
        if (piece.isEmpty())
            piece = Fragments().at(input.ConsumeIntegralInRange<int>(0, int(Fragments().size()) - 1));
        const int length = input.ConsumeBool() ? 10000 : input.ConsumeIntegralInRange(100, 10000);
        while (text.size() < length)
            text += piece;
        text.truncate(length);
        break;
    }
    }
    return text;
}

QString HostileLine(FuzzedDataProvider& input, bool allowLong)
{
    QString text = HostileText(input, allowLong);
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

MemoryFile::MemoryFile()
{
    m_fd = memfd_create("zq-fuzz", 0);
    if (m_fd < 0)
        Fail("memfd_create");
    m_path = QStringLiteral("/proc/self/fd/%1").arg(m_fd);
}

MemoryFile::~MemoryFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

void MemoryFile::write(const QByteArray& bytes)
{
    if (::ftruncate(m_fd, 0) != 0 || ::lseek(m_fd, 0, SEEK_SET) != 0)
        Fail("memfd truncate");
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n <= 0)
            Fail("memfd write");
        done += n;
    }
}

namespace {

struct Counter {
    const char* what;
    const uint64_t* value;
};

std::vector<Counter>& Counters()
{
    static std::vector<Counter> counters;
    return counters;
}

void PrintCounters()
{
    for (const Counter& c : Counters())
        std::fprintf(stderr, "zq-fuzz: %s %llu\n", c.what, static_cast<unsigned long long>(*c.value));
}

} // namespace

void CountAtExit(const char* what, const uint64_t* counter)
{
    if (Counters().empty())
        std::atexit(PrintCounters);
    Counters().push_back({what, counter});
}

} // namespace zqfuzz
