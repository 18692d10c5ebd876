#include "UserSearchFile.h"

#include "SearchFiles.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace zq {

namespace {

using namespace searchfiles;

const QString kVersionKey = QStringLiteral("version");
const QString kSearchesKey = QStringLiteral("searches");
const QString kRecentKey = QStringLiteral("recent");

QByteArray Quoted(const QString& key)
{
    const QByteArray array = QJsonDocument(QJsonArray{key}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

// A search as it is written inside the file's list, indented to its place.
QByteArray Indented(const SavedSearch& search)
{
    const QByteArray json = QJsonDocument(search.toJson()).toJson(QJsonDocument::Indented).trimmed();
    QByteArray out = "        ";
    for (const char c : json) {
        out += c;
        if (c == '\n')
            out += "        ";
    }
    return out;
}

QByteArray ListText(const QList<UserSearchFile::Entry>& entries)
{
    if (entries.isEmpty())
        return "[]";
    QByteArrayList elements;
    for (const UserSearchFile::Entry& entry : entries)
        elements.append(entry.search ? Indented(*entry.search) : "        " + entry.written);
    return "[\n" + elements.join(",\n") + "\n    ]";
}

} // namespace

QList<SavedSearch> UserSearchFile::Searches(const QList<Entry>& entries)
{
    QList<SavedSearch> searches;
    for (const Entry& entry : entries)
        if (entry.search)
            searches.append(*entry.search);
    return searches;
}

std::optional<QList<UserSearchFile::Entry>> UserSearchFile::readEntries(const QByteArray& written,
                                                                        QList<Problem>* leftAsTheyAre) const
{
    const std::optional<QList<QByteArray>> elements = RawArrayElements(written);
    if (!elements)
        return std::nullopt;
    QList<Entry> entries;
    for (qsizetype i = 0; i < elements->size(); ++i) {
        const QByteArray& element = (*elements)[i];
        QString why;
        const std::optional<QJsonObject> object = ParseObject(element, &why);
        std::optional<SavedSearch> search;
        SavedSearch::Reading reading = SavedSearch::Reading::Damaged;
        if (object)
            search = SavedSearch::fromJson(*object, &why, &reading);
        else
            why = QStringLiteral("不是保存的查询");
        entries.append({search, element});
        if (search)
            continue;
        const QString name = object ? object->value(QStringLiteral("name")).toString() : QString();
        const QString which = name.isEmpty() ? QStringLiteral("第 %1 项").arg(i + 1) : QStringLiteral("“%1”").arg(name);
        // Told once a process for each entry, whichever list and place it is in.
        const QString key = m_path + u'#' + QString::fromLatin1(QCryptographicHash::hash(element, QCryptographicHash::Sha1).toHex());
        leftAsTheyAre->append({key, reading == SavedSearch::Reading::Newer
                                        ? QStringLiteral("%1 中的%2%3, 保持原样").arg(m_path, which, why)
                                        : QStringLiteral("%1 中的%2不能读取 (%3), 保持原样").arg(m_path, which, why)});
    }
    return entries;
}

UserSearchFile::Contents UserSearchFile::read() const
{
    Contents contents;
    if (!QFileInfo::exists(m_path))
        return contents;
    QString why;
    const std::optional<QByteArray> bytes = ReadBytes(m_path, &why);
    const std::optional<QJsonObject> object = bytes ? ParseObject(*bytes, &why) : std::nullopt;
    if (!object) {
        SetAside(m_path, why);
        return contents;
    }
    const int version = object->value(kVersionKey).toInt(0);
    const bool listsOk = object->value(kSearchesKey).isArray()
                         && (!object->contains(kRecentKey) || object->value(kRecentKey).isArray());
    if (version > kVersion) {
        TellOnce(m_path, QStringLiteral("%1 由较新的版本保存 (版本 %2), 这里只读取不改写").arg(m_path, QString::number(version)));
        contents.writable = false;
    } else if (version < 1 || !listsOk) {
        SetAside(m_path, QStringLiteral("不是保存的查询"));
        return contents;
    }
    QList<Problem> leftAsTheyAre;
    for (const RawMember& member : RawObjectMembers(*bytes).value_or(QList<RawMember>())) {
        if (member.key == kVersionKey)
            continue;
        QList<Entry>* list = member.key == kSearchesKey ? &contents.own : member.key == kRecentKey ? &contents.recent : nullptr;
        std::optional<QList<Entry>> entries = list ? readEntries(member.value, &leftAsTheyAre) : std::nullopt;
        if (entries)
            *list = std::move(*entries);
        else
            contents.others.append(member);
    }
    // A file of a newer version is told as a whole.
    if (contents.writable)
        for (const Problem& problem : std::as_const(leftAsTheyAre))
            TellOnce(problem.key, problem.text);
    return contents;
}

bool UserSearchFile::write(const Contents& contents, QString* error) const
{
    if (!contents.writable) {
        *error = QStringLiteral("%1 由较新的版本保存, 不能改写").arg(m_path);
        return false;
    }
    QByteArray text = "{\n    \"version\": " + QByteArray::number(kVersion) + ",\n    \"searches\": " + ListText(contents.own)
                      + ",\n    \"recent\": " + ListText(contents.recent);
    for (const RawMember& member : contents.others)
        text += ",\n    " + Quoted(member.key) + ": " + member.value;
    text += "\n}\n";
    // The folder is the user's alone, as the file is.
    const QString folder = QFileInfo(m_path).absolutePath();
    if (!QFileInfo::exists(folder) && QDir().mkpath(folder))
        QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return WriteAtomically(m_path, text, QFileDevice::ReadOwner | QFileDevice::WriteOwner, error);
}

} // namespace zq
