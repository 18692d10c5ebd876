#include "PreviewCache.h"

#include <QtEndian>

namespace zq::web {

std::optional<QByteArray> PreviewCache::find(const QString& id) const
{
    const std::lock_guard lock(m_mutex);
    const auto found = m_pictures.find(id);
    if (found == m_pictures.end())
        return std::nullopt;
    return found->second;
}

void PreviewCache::add(const QString& id, const QByteArray& picture)
{
    if (picture.size() > m_budget)
        return;
    const std::lock_guard lock(m_mutex);
    if (m_pictures.contains(id))
        return;
    m_pictures.emplace(id, picture);
    m_order.push_back(id);
    m_bytes += picture.size();
    while (m_bytes > m_budget && !m_order.empty()) {
        const auto oldest = m_pictures.find(m_order.front());
        m_bytes -= oldest->second.size();
        m_pictures.erase(oldest);
        m_order.pop_front();
    }
}

bool IsPng(const QByteArray& bytes)
{
    static const QByteArray signature("\x89PNG\r\n\x1a\n", 8);
    if (bytes.size() < 24 || !bytes.startsWith(signature) || bytes.mid(12, 4) != "IHDR")
        return false;
    const quint32 width = qFromBigEndian<quint32>(bytes.constData() + 16);
    const quint32 height = qFromBigEndian<quint32>(bytes.constData() + 20);
    return width > 0 && height > 0;
}

} // namespace zq::web
