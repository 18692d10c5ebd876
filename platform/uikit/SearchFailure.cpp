#include "SearchFailure.h"

namespace zq {

namespace {

SearchFailureListener& Listener()
{
    static SearchFailureListener listener;
    return listener;
}

} // namespace

void SetSearchFailureListener(SearchFailureListener listener)
{
    Listener() = std::move(listener);
}

void NoteSearchFailure(const QString& reason)
{
    if (Listener())
        Listener()(reason);
}

} // namespace zq
