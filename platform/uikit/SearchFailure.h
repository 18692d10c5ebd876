#pragma once
// What went wrong while a page searched, beyond the message the user is shown: a database error
// the page reported (ReportComError), a content index it could not open. A caller that runs
// searches unattended (zqpdm-search) listens, so that a broken search is not taken for one that
// found nothing.
#include <QString>
#include <functional>

namespace zq {

using SearchFailureListener = std::function<void(const QString& reason)>;

// One listener at a time; an empty one stops listening.
void SetSearchFailureListener(SearchFailureListener listener);
// Tells the listener, if any; shows nothing.
void NoteSearchFailure(const QString& reason);

} // namespace zq
