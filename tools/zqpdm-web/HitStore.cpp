#include "HitStore.h"

#include <QRandomGenerator>

namespace zq::web {

namespace {

QString freshId()
{
    quint32 words[4];
    QRandomGenerator::system()->fillRange(words);
    QString id;
    for (const quint32 word : words)
        id += QStringLiteral("%1").arg(word, 8, 16, QLatin1Char('0'));
    return id;
}

} // namespace

QString HitStore::add(Hit hit)
{
    const std::lock_guard lock(m_mutex);
    QString id = freshId();
    while (m_hits.contains(id))
        id = freshId();
    m_hits.emplace(id, std::move(hit));
    m_order.push_back(id);
    while (m_order.size() > m_capacity) {
        m_hits.erase(m_order.front());
        m_order.pop_front();
    }
    return id;
}

std::optional<Hit> HitStore::find(const QString& id, const QString& user) const
{
    if (!IsWellFormedId(id))
        return std::nullopt;
    const std::lock_guard lock(m_mutex);
    const auto found = m_hits.find(id);
    if (found == m_hits.end() || found->second.user != user)
        return std::nullopt;
    return found->second;
}

void HitStore::update(const QString& id, const Hit& hit)
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_hits.find(id);
    if (found != m_hits.end() && found->second.user == hit.user)
        found->second = hit;
}

bool HitStore::IsWellFormedId(const QString& id)
{
    if (id.size() != 32)
        return false;
    for (const QChar c : id)
        if (!((c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f')))
            return false;
    return true;
}

} // namespace zq::web
