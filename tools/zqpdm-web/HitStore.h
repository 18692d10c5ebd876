#pragma once
// The ids the server hands out with listed rows. A client names a row by its id only, never by a
// path or a number it could guess: the id leads back to the search that listed the row (page,
// arguments, row index, the row as listed) and to the user who ran it, and to nothing else.
#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <deque>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace zq::web {

// A hit of the quick search: its own row, and what opening it on its tab needs (zqpdm-search's
// HIT event). The tab's row is looked for only when the hit's file or picture is asked for.
struct QuickOrigin {
    QString rowJson;         // the row as zqpdm-search --quick --format json wrote it
    QJsonObject details;     // kind, code, name, date, table, product, file, listed
};

struct Hit {
    QString user;
    QString page;
    QStringList arguments;   // the search's actions as zqpdm-search takes them
    int row = 0;             // -1: a quick hit not yet found on its tab
    QString rowJson;         // the row as zqpdm-search --format json wrote it
    std::optional<QuickOrigin> quick;

    bool listed() const { return row >= 0; }
    // The fields a client sees: the row it was given.
    const QString& shownJson() const { return quick ? quick->rowJson : rowJson; }
};

class HitStore {
public:
    explicit HitStore(std::size_t capacity = 200000) : m_capacity(capacity) {}

    // A fresh id for the hit; the oldest hits are forgotten past the capacity.
    QString add(Hit hit);
    // The hit of that id if this user was given it.
    std::optional<Hit> find(const QString& id, const QString& user) const;
    // A quick hit found on its tab: its page, arguments, row and the tab's row, kept for next time.
    void update(const QString& id, const Hit& hit);

    // 32 lowercase hexadecimal digits, as add() makes them.
    static bool IsWellFormedId(const QString& id);

private:
    std::size_t m_capacity;
    mutable std::mutex m_mutex;
    std::unordered_map<QString, Hit> m_hits;
    std::deque<QString> m_order;
};

} // namespace zq::web
