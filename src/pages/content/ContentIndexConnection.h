#pragma once
// Opening the content index that zqpdm-index writes, for whatever searches it (the page 文档内容,
// the quick search): the index is never the connection the other pages and the services share,
// and every reason it cannot be searched is one message for the user.
#include "ZQDBConnect.h"

#include <QString>
#include <memory>

namespace zq::content {

struct OpenedContentIndex {
    std::unique_ptr<CZQDBConnect> index;   // null when it cannot be searched
    QString problem;                       // why, for the user
    bool notMadeYet = false;               // zqpdm-index has never run: no index file at all
};

OpenedContentIndex OpenContentIndex(const QString& url);

} // namespace zq::content
