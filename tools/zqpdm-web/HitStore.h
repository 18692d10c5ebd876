#pragma once
// The ids the server hands out with listed rows. A client names a row by its id only, never by a
// path or a number it could guess: the id leads back to the search that listed the row (page,
// arguments, row index, the row as listed) and to the user who ran it, and to nothing else.
#include <QString>
#include <QStringList>
#include <deque>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace zq::web {

struct Hit {
    QString user;
    QString page;
    QStringList arguments;   // the search's actions as zqpdm-search takes them
    int row = 0;
    QString rowJson;         // the row as zqpdm-search --format json wrote it
};

class HitStore {
public:
    explicit HitStore(std::size_t capacity = 200000) : m_capacity(capacity) {}

    // A fresh id for the hit; the oldest hits are forgotten past the capacity.
    QString add(Hit hit);
    // The hit of that id if this user was given it.
    std::optional<Hit> find(const QString& id, const QString& user) const;

    // 32 lowercase hexadecimal digits, as add() makes them.
    static bool IsWellFormedId(const QString& id);

private:
    std::size_t m_capacity;
    mutable std::mutex m_mutex;
    std::unordered_map<QString, Hit> m_hits;
    std::deque<QString> m_order;
};

} // namespace zq::web
