#pragma once
// The stored file of a document row fetched for the preview pane: as opening it fetches it, into
// a folder of the user's private temporary folder kept for previews, without the browser, and
// with what the storage would have told the user kept as the reason instead of a message box.
#include "DocumentRecord.h"
#include "PreviewSubject.h"

class CZQSaveFileToFTP;

namespace zq::doc {

enum class StoredKind { DesignDocument, ResourceFile };

// The folder for previews' copies ("preview/" in the private temporary folder), made 0700.
QString PreviewFolder();

// pageStore: the design-document page's store object (may be null), used as opening uses it.
PreviewFetch FetchForPreview(const DocumentRecord& record, StoredKind kind, CZQSaveFileToFTP* pageStore);

// The row's preview subject: fields, the file's identity and its fetch. The page outlives it.
PreviewSubject DocumentPreview(PreviewSubject fields, const DocumentRecord& record, StoredKind kind,
                               CZQSaveFileToFTP* pageStore);

} // namespace zq::doc
