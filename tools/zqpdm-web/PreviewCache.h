#pragma once
// The preview pictures made for listed rows, by id: a picture is made once (a worker run, the
// stored file fetched and drawn) and sent again from memory. The oldest go past the byte budget.
#include <QByteArray>
#include <QHash>
#include <QString>
#include <deque>
#include <mutex>
#include <optional>
#include <unordered_map>

namespace zq::web {

class PreviewCache {
public:
    explicit PreviewCache(qsizetype budgetBytes = 64 * 1024 * 1024) : m_budget(budgetBytes) {}

    std::optional<QByteArray> find(const QString& id) const;
    void add(const QString& id, const QByteArray& picture);

private:
    qsizetype m_budget;
    qsizetype m_bytes = 0;
    mutable std::mutex m_mutex;
    std::unordered_map<QString, QByteArray> m_pictures;
    std::deque<QString> m_order;
};

// Whether BYTES are a PNG file: its signature and an IHDR chunk with a width and height.
bool IsPng(const QByteArray& bytes);

} // namespace zq::web
