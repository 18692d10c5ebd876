#pragma once
// Gathers the hits of one kind as its rows are read: counts every hit exactly and keeps only the
// best ones, so a fragment that matches a million rows neither lists nor holds them all.
#include "QuickHit.h"

#include <QHash>

namespace zq::quick {

class HitCollector {
public:
    // oneHitPerCode: hits with the same code are one hit, the best ranked of them.
    HitCollector(int limit, bool oneHitPerCode);

    void add(QuickHit hit);
    int count() const;
    // The best hits, ranked, at most the limit.
    QList<QuickHit> best() const;

private:
    void trim();

    int m_limit;
    bool m_oneHitPerCode;
    int m_count = 0;
    QList<QuickHit> m_hits;
    QHash<QString, QuickHit> m_byCode;
};

} // namespace zq::quick
