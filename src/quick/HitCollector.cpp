#include "HitCollector.h"

#include <algorithm>

namespace zq::quick {

HitCollector::HitCollector(int limit, bool oneHitPerCode) : m_limit(std::max(limit, 0)), m_oneHitPerCode(oneHitPerCode) {}

void HitCollector::add(QuickHit hit)
{
    if (m_oneHitPerCode) {
        auto found = m_byCode.find(hit.code);
        if (found == m_byCode.end())
            m_byCode.insert(hit.code, std::move(hit));
        else if (RanksBefore(hit, *found))
            *found = std::move(hit);
        return;
    }
    ++m_count;
    m_hits.append(std::move(hit));
    if (m_hits.size() >= 4 * std::max(m_limit, 64))
        trim();
}

void HitCollector::trim()
{
    if (m_hits.size() <= m_limit)
        return;
    std::nth_element(m_hits.begin(), m_hits.begin() + m_limit, m_hits.end(), RanksBefore);
    m_hits.resize(m_limit);
}

int HitCollector::count() const
{
    return m_oneHitPerCode ? int(m_byCode.size()) : m_count;
}

QList<QuickHit> HitCollector::best() const
{
    QList<QuickHit> hits = m_oneHitPerCode ? QList<QuickHit>(m_byCode.cbegin(), m_byCode.cend()) : m_hits;
    const qsizetype kept = std::min<qsizetype>(hits.size(), m_limit);
    std::partial_sort(hits.begin(), hits.begin() + kept, hits.end(), RanksBefore);
    hits.resize(kept);
    return hits;
}

} // namespace zq::quick
