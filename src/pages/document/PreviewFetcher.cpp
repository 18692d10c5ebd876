#include "PreviewFetcher.h"
#include "CallLog.h"
#include "LocalTarget.h"
#include "ScriptedDesktop.h"
#include "StoredFileRetrieval.h"
#include "ZQPDMFC.h"

#include <QDir>
#include <QFile>

namespace zq::doc {

QString PreviewFolder()
{
    const QString folder = TempFolder() + QStringLiteral("preview/");
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return folder;
}

PreviewFetch FetchForPreview(const DocumentRecord& record, StoredKind kind, CZQSaveFileToFTP* pageStore)
{
    // A store that cannot deliver tells the user in a message box when a file is opened; a
    // preview shows the same words in the pane instead.
    ScriptedDesktop quiet;
    ScopedDesktop scope(quiet);
    const qsizetype failuresBefore = CallLog::FailureCount();
    StoredFileRetrieval retrieval(record);
    retrieval.SetLocalFolder(PreviewFolder());
    const StoredFileRetrieval::Fetched fetched =
        kind == StoredKind::ResourceFile
            ? retrieval.FetchResourceFile(ReadStorageSetting(kResourceStorageKey))
            : retrieval.FetchDesignDocument(ReadStorageSetting(kDesignDocumentStorageKey), pageStore);
    if (fetched.arrived())
        return {fetched.localPath, QString()};
    QStringList reasons = quiet.messages() + CallLog::ReasonsSince(failuresBefore);
    if (!fetched.reason.isEmpty())
        reasons.append(fetched.reason);
    reasons.removeDuplicates();
    return {QString(), QStringLiteral("文件没有下载成功") + (reasons.isEmpty() ? QString() : u'\n' + reasons.join(u'\n'))};
}

PreviewSubject DocumentPreview(PreviewSubject subject, const DocumentRecord& record, StoredKind kind,
                               CZQSaveFileToFTP* pageStore)
{
    const QString name = svc::PlainFileName(record.Field(zq::doc::RecordField::FileName));
    if (name.isEmpty())
        return subject;
    subject.title = name;
    subject.identity = {kind == StoredKind::ResourceFile ? QStringLiteral("资源文件") : QStringLiteral("设计文档"),
                        record.Field(zq::doc::RecordField::Code1), record.Field(zq::doc::RecordField::Code2), record.Field(zq::doc::RecordField::Revision),
                        record.Field(zq::doc::RecordField::FileName), record.Field(zq::doc::RecordField::Size), record.Field(zq::doc::RecordField::Date)};
    subject.fileDate = record.Field(zq::doc::RecordField::Date);
    subject.fetch = [record, kind, pageStore] { return FetchForPreview(record, kind, pageStore); };
    return subject;
}

} // namespace zq::doc
