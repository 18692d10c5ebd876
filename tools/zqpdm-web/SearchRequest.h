#pragma once
// What a client sends to search a page, {"actions": [["set", "条件", "明细"], ...]}, checked and
// turned into zqpdm-search's arguments. Only the actions that fill in conditions are taken:
// nothing a client sends can export, open, save or delete anything.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zq::web {

struct SearchRequest {
    QStringList arguments;   // the actions as zqpdm-search takes them (the caller adds --find or --describe)
    QString error;           // why the body was refused; empty when it was taken
    bool ok() const { return error.isEmpty(); }
};

inline constexpr int kMaxActions = 64;
inline constexpr int kMaxActionText = 1000;

// The body of POST /api/pages/{caption}/search.
SearchRequest ParseSearchRequest(const QByteArray& body);
// The query parameter actions=[...] of GET /api/pages/{caption}: the same actions, the page
// described as they leave it. Empty text: none.
SearchRequest ParseActionsParameter(const QByteArray& text);

} // namespace zq::web
