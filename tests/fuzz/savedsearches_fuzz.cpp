// The user's file of saved searches on any bytes: the JSON text is cut into members and elements
// that give back exactly the value the parser reads, and a file read and written again keeps the
// searches this version uses and, byte for byte, every entry it leaves as it is.
#include "FuzzSupport.h"
#include "RawJson.h"
#include "SearchFiles.h"
#include "UserSearchFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

using zqfuzz::Check;

namespace {

QByteArray Quoted(const QString& key)
{
    const QByteArray array = QJsonDocument(QJsonArray{key}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

void CheckCutting(const QByteArray& bytes)
{
    QJsonParseError parse{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &parse);
    const bool valid = parse.error == QJsonParseError::NoError;
    const std::optional<QList<zq::RawMember>> members = zq::RawObjectMembers(bytes);
    Check(members.has_value() == (valid && document.isObject()), "members exactly for an object");
    if (members) {
        QByteArrayList parts;
        for (const zq::RawMember& member : *members)
            parts.append(Quoted(member.key) + ':' + member.value);
        Check(QJsonDocument::fromJson('{' + parts.join(',') + '}').object() == document.object(),
              "the members give back the object", QString::fromUtf8(parts.join('\n')));
    }
    const std::optional<QList<QByteArray>> elements = zq::RawArrayElements(bytes);
    Check(elements.has_value() == (valid && document.isArray()), "elements exactly for an array");
    if (elements)
        Check(QJsonDocument::fromJson('[' + elements->join(',') + ']').array() == document.array(),
              "the elements give back the array", QString::fromUtf8(elements->join('\n')));
}

QList<QJsonObject> Objects(const QList<zq::SavedSearch>& searches)
{
    QList<QJsonObject> objects;
    for (const zq::SavedSearch& search : searches)
        objects.append(search.toJson());
    return objects;
}

void CheckRewrite(const QByteArray& bytes)
{
    static QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("searches.json"));
    for (const QString& name : QDir(folder.path()).entryList(QDir::Files))
        QFile::remove(folder.filePath(name));
    {
        QFile file(path);
        Check(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size(), "the input is written");
    }
    const zq::UserSearchFile store(path);
    const zq::UserSearchFile::Contents first = store.read();
    zq::searchfiles::TakeProblems();
    QString error;
    if (!first.writable || !store.write(first, &error))
        return;
    QFile written(path);
    Check(written.open(QIODevice::ReadOnly), "the written file opens");
    const QByteArray rewritten = written.readAll();
    for (const QList<zq::UserSearchFile::Entry>* list : {&first.own, &first.recent})
        for (const zq::UserSearchFile::Entry& entry : *list)
            Check(entry.search || rewritten.contains(entry.written), "an entry left as it is is kept byte for byte",
                  QString::fromUtf8(entry.written));
    const zq::UserSearchFile::Contents second = store.read();
    Check(Objects(zq::UserSearchFile::Searches(second.own)) == Objects(zq::UserSearchFile::Searches(first.own))
              && Objects(zq::UserSearchFile::Searches(second.recent)) == Objects(zq::UserSearchFile::Searches(first.recent)),
          "the searches read back as they were", QString::fromUtf8(rewritten));
    Check(second.own.size() == first.own.size() && second.recent.size() == first.recent.size()
              && second.others.size() == first.others.size(),
          "every entry and member is there again", QString::fromUtf8(rewritten));
    zq::searchfiles::TakeProblems();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    zqfuzz::EnsureCoreApp();
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    CheckCutting(bytes);
    CheckRewrite(bytes);
    return 0;
}
