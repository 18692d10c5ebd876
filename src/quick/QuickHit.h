#pragma once
// One hit of the quick search and the hits of one kind, as plain values: what the result list,
// the command line and an export show, and what opening the hit on its tab needs.
#include "MatchTier.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace zq::quick {

struct QuickHit {
    QString kind;          // 类别: the caption of the tab that shows it
    QString code;          // 编号
    QString name;          // 名称
    QString date;          // 日期, "yyyy-MM-dd" or empty
    MatchTier tier = MatchTier::Other;   // 匹配
    QString note;          // 说明
    QString table;         // the table the hit was read from
    QString product;       // a part's product (ProductDwgCode), for locating it in the product tree
    QString fileName;      // a document's stored file name
    QString listed;        // what its tab's result list shows first for it: the 编号 unless told
    QString words;         // a 文档内容 hit: the words the content index was searched for

    bool operator==(const QuickHit& other) const = default;
};

// Best tier first, the newest first within a tier, then by code.
bool RanksBefore(const QuickHit& a, const QuickHit& b);

struct KindResult {
    QString kind;
    int count = 0;             // every hit of the kind, however many are listed
    QList<QuickHit> hits;      // the best ones, ranked, at most the limit asked for
    QString problem;           // why the kind could not be searched (a database error); empty when it was
    QString advice;            // how the search could be made faster or complete; shown, not an error
};

struct QuickResult {
    QList<KindResult> kinds;   // in search order
    bool cancelled = false;

    // Every listed hit of every kind, ranked: by tier, then kind by kind in search order.
    QList<QuickHit> rankedHits() const;
    // "设计零部件 12 · 设计文档 3 · 文档内容 5": the kinds with hits, in search order.
    QString countsText() const;
    QStringList problems() const;
};

} // namespace zq::quick
