#include "ZQPDMFC.h"
#include "Desktop.h"
#include "GbkText.h"
#include "PrivateTempFolder.h"
#include "SearchFailure.h"
#include <QCoreApplication>
#include <QDate>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QIODevice>
#include <QLocale>
#include <QMutex>
#include <QTime>
#include <cmath>
#include <cstring>

namespace zq {

namespace {

QString withoutTrailingSeparator(QString path)
{
    while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\')))
        path.chop(1);
    return path;
}

QString withTrailingSeparator(QString path)
{
    if (!path.endsWith(u'/'))
        path += u'/';
    return path;
}

QString executableDirectory()
{
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).absolutePath();
}

// The entry of folder whose name matches segment: the exact spelling when it exists, else the
// first (in sorted order) that matches with case folded; empty when none does.
QString findEntry(const QDir& folder, const QString& segment)
{
    if (QFileInfo::exists(folder.filePath(segment)))
        return segment;
    const QStringList entries = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                                 QDir::Name);
    for (const QString& entry : entries) {
        if (entry.compare(segment, Qt::CaseInsensitive) == 0)
            return entry;
    }
    return QString();
}

char16_t foldAscii(char16_t c)
{
    return (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
}

bool isAscii(const QString& text)
{
    for (QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

int sign(int value) { return (value > 0) - (value < 0); }

QString doubleToText(double value)
{
    if (value == 0.0)
        return QStringLiteral("0");
    if (!std::isfinite(value))
        return QString::number(value);
    return QString::number(value, 'f', QLocale::FloatingPointShortest);
}

} // namespace

QString InstallDirectory()
{
    const QString home = qEnvironmentVariable("ZQPDM_HOME");
    if (!home.isEmpty())
        return withoutTrailingSeparator(QDir::cleanPath(QDir::fromNativeSeparators(home)));
    return withoutTrailingSeparator(QDir::cleanPath(executableDirectory() + QStringLiteral("/..")));
}

QString InstallPath(const QString& relative)
{
    return ResolvePathCaseInsensitive(InstallDirectory() + u'/' + relative);
}

QString ResolvePathCaseInsensitive(const QString& path)
{
    QString unified = path;
    unified.replace(u'\\', u'/');
    if (unified.isEmpty())
        return unified;

    const bool absolute = unified.startsWith(u'/');
    const bool trailing = unified.endsWith(u'/');
    const QStringList segments = unified.split(u'/', Qt::SkipEmptyParts);

    QString resolved = absolute ? QStringLiteral("/") : QString();
    bool existing = true;   // everything resolved so far exists, so the next segment can be looked up
    for (const QString& segment : segments) {
        QString name = segment;
        if (existing && segment != u"." && segment != u"..") {
            const QString found = findEntry(QDir(resolved.isEmpty() ? QStringLiteral(".") : resolved), segment);
            if (found.isEmpty())
                existing = false;
            else
                name = found;
        }
        if (!resolved.isEmpty() && !resolved.endsWith(u'/'))
            resolved += u'/';
        resolved += name;
    }
    if (trailing && !resolved.endsWith(u'/'))
        resolved += u'/';
    return resolved;
}

void ReportComError(const QString& description, const QString& source)
{
    const QString reason = description.trimmed().isEmpty() ? QStringLiteral("数据库操作失败") : description;
    QString text = reason;
    if (!source.trimmed().isEmpty())
        text += QStringLiteral("\n\n来源: ") + source;
    Desktop::current().messageBox(text, QStringLiteral("操作提示"), MB_OK | MB_ICONEXCLAMATION);
    NoteSearchFailure(reason);
}

QString ValueToText(const QVariant& value)
{
    // Most values are texts: taken as they are (a null text reads as an empty one).
    if (value.typeId() == QMetaType::QString)
        return *static_cast<const QString*>(value.constData());
    if (!value.isValid() || value.isNull())
        return QString();
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Long:
    case QMetaType::LongLong:
        return QString::number(value.toLongLong());
    case QMetaType::UInt:
    case QMetaType::UShort:
    case QMetaType::UChar:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return QString::number(value.toULongLong());
    case QMetaType::Double:
    case QMetaType::Float:
        return doubleToText(value.toDouble());
    case QMetaType::QDateTime:
        return value.toDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("yyyy-MM-dd"));
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    case QMetaType::QByteArray:
        return QStringLiteral("<%1 字节>").arg(value.toByteArray().size());
    default:
        return value.toString();
    }
}

int OldCodeSwitch()
{
    bool ok = false;
    const int value = qEnvironmentVariableIntValue("ZQPDM_OLDCODE", &ok);
    return ok ? value : 0;
}

bool ReadLine(QIODevice& file, QByteArray& line)
{
    line.clear();
    char c = 0;
    if (!file.getChar(&c))
        return false;
    do {
        if (c == '\n')
            return true;
        if (c == '\r') {
            char next = 0;
            if (file.peek(&next, 1) == 1 && next == '\n')
                file.getChar(&next);
            return true;
        }
        line.append(c);
    } while (file.getChar(&c));
    return true;
}

QString WorkingFolder()
{
    QString folder = qEnvironmentVariable("ZQPDM_WORKDIR");
    if (folder.isEmpty())
        folder = QDir::homePath() + QStringLiteral("/.zqpdm/work");
    folder = withTrailingSeparator(QDir::fromNativeSeparators(folder));
    QDir().mkpath(folder);
    return folder;
}

QString TempFolder()
{
    // Chosen for each pair of runtime and temporary folders (tests change both) and checked again
    // at every use: since the last one a cleaner of the temporary folder may have removed it and
    // another user put a link or a folder of theirs in its place, or it may have been opened to
    // others. A folder that fails the check is not written to again; a new one is chosen, and a
    // folder refused on the way is told to the user.
    static QMutex mutex;
    static QHash<QString, QString> chosen;
    const QString runtimeDir = qEnvironmentVariable("XDG_RUNTIME_DIR");
    const QString tempRoot = QDir::tempPath();
    const QString key = runtimeDir + QChar(0) + tempRoot;
    QStringList refused;
    QString path;
    {
        const QMutexLocker lock(&mutex);
        path = chosen.value(key);
        if (!path.isEmpty() && !path.startsWith(QLatin1String("/dev/null/"))) {
            const QString folder = path.chopped(1);   // without the '/', which would follow a link
            const QFileInfo info(folder);
            const bool gone = !info.exists() && !info.isSymLink();
            const QString problem = gone ? QString() : PrivateFolderProblem(folder);
            if (gone || !problem.isEmpty()) {
                if (!problem.isEmpty())
                    refused.append(QStringLiteral("%1 (%2)").arg(folder, problem));
                path.clear();
            }
        }
        if (path.isEmpty()) {
            const PrivateFolderChoice choice = ChoosePrivateTempFolder(runtimeDir, tempRoot);
            path = choice.path;
            if (!choice.refused.isEmpty() && !refused.contains(choice.refused))
                refused.append(choice.refused);
            chosen.insert(key, path);
        }
    }
    if (!refused.isEmpty())
        Desktop::current().messageBox(
            QStringLiteral("临时文件夹 %1 不能使用, 取出的文件改放在 %2").arg(refused.join(QStringLiteral("; ")), path),
            QStringLiteral("操作提示"), MB_OK | MB_ICONEXCLAMATION);
    return path;
}

QString CodeToPathSegment(const QString& code)
{
    if (code == u"." || code == u"..")
        return QStringLiteral("_");
    QString segment = code;
    for (QChar& c : segment) {
        const char16_t u = c.unicode();
        const bool refused = u < 0x20 || u == 0x7f || u == u'/' || u == u'\\' || u == u':' || u == u'*' ||
                             u == u'?' || u == u'"' || u == u'<' || u == u'>' || u == u'|';
        if (refused)
            c = u'_';
    }
    return segment;
}

QString WithoutLoneSurrogates(QString text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (text[i].isSurrogate())
            text[i] = QChar(QChar::ReplacementCharacter);
    }
    return text;
}

QString SystemDirectory()
{
    const QString dir = qEnvironmentVariable("ZQPDM_SYSDIR");
    if (!dir.isEmpty())
        return withoutTrailingSeparator(QDir::fromNativeSeparators(dir));
    return QStringLiteral("/etc/zqpdm");
}

int CompareNoCase(const QString& a, const QString& b)
{
    if (isAscii(a) && isAscii(b)) {
        const qsizetype n = std::min(a.size(), b.size());
        for (qsizetype i = 0; i < n; ++i) {
            const char16_t x = foldAscii(a[i].unicode()), y = foldAscii(b[i].unicode());
            if (x != y)
                return x < y ? -1 : 1;
        }
        return sign(int(a.size() - b.size()));
    }
    // Other text compares as its GBK bytes, character by character, so that only single-byte
    // ASCII letters fold (never the trail byte of a double-byte character).
    const QList<uint> x = a.toUcs4(), y = b.toUcs4();
    const qsizetype n = std::min(x.size(), y.size());
    for (qsizetype i = 0; i < n; ++i) {
        const uint cx = x[i] < 0x80 ? foldAscii(char16_t(x[i])) : x[i];
        const uint cy = y[i] < 0x80 ? foldAscii(char16_t(y[i])) : y[i];
        if (cx == cy)
            continue;
        const char32_t ux[] = {char32_t(cx)}, uy[] = {char32_t(cy)};
        const QByteArray bx = EncodeGbk(QString::fromUcs4(ux, 1)), by = EncodeGbk(QString::fromUcs4(uy, 1));
        const int order = std::memcmp(bx.constData(), by.constData(), size_t(std::min(bx.size(), by.size())));
        if (order != 0)
            return sign(order);
        return sign(int(bx.size() - by.size()));
    }
    return sign(int(x.size() - y.size()));
}

bool EqualsNoCase(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (foldAscii(a[i].unicode()) != foldAscii(b[i].unicode()))
            return false;
    }
    return true;
}

} // namespace zq
