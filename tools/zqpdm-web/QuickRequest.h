#pragma once
// What a client sends to the quick search, checked and turned into zqpdm-search's arguments:
// the text of GET /api/quick?q=TEXT&kind=A,B and /api/suggest?q=TEXT, the list of
// POST /api/quick-list (one code a line). Nothing else reaches the worker's command line.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace zq::web {

struct QuickRequest {
    QStringList arguments;   // --quick TEXT or --quick-list -, and --kind A,B where asked
    QByteArray input;        // the list, for the worker's standard input
    // The same, for a search the server runs itself.
    QString text;            // the text searched; empty for a list
    QStringList kinds;       // the kinds asked for, each trimmed; empty: every kind
    QString error;           // why the request was refused; empty when it was taken
    bool ok() const { return error.isEmpty(); }
};

inline constexpr int kMaxQuickText = 200;
inline constexpr int kMaxQuickKinds = 16;
inline constexpr int kMaxListLines = 1000;
inline constexpr int kMinSuggestText = 3;
inline constexpr int kMaxSuggestions = 10;

// q and kind as the query string gave them (percent-escapes undone).
QuickRequest ParseQuickText(const QString& text, const QString& kinds);
// The body of POST /api/quick-list (UTF-8 or GBK, as the command line reads a list).
QuickRequest ParseQuickList(const QByteArray& body, const QString& kinds);

} // namespace zq::web
