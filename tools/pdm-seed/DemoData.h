#pragma once
// The deterministic demo data. Every date is relative to the run's "today", so each page's
// default date range (30, 360 or 365 days back) finds rows. tools/pdm-seed/README.md lists the
// facts tests rely on; keep the two in step.
#include "TableWriter.h"
#include <QDate>
#include <QString>

namespace zq::seed {

struct DemoClock {
    QDate today;
    // "yyyy-MM-dd hh:mm:ss" of the day daysBack before today (negative: after today).
    QString stamp(int daysBack, int hour = 9, int minute = 0, int second = 0) const;
};

struct DemoContext {
    SeedOutput& out;
    DemoClock clock;
};

// The old drawing number of a demo code: "ZQ8600-01-02" → "JQ8600.01.02"; empty for others.
QString OldDrawingNumber(const QString& code);

// Deterministic file bytes for a stored demo file, a real file of its type where the content index
// reads the type (DemoFiles.cpp), and its size in kilobytes (at least 1).
QByteArray DemoFileContent(const QString& fileName, const QString& description);
int KiloBytes(qsizetype bytes);

// A design document stored both ways: in the file store below
// "Zq/Proven/<N(code1)>/<N(code2)>/<revision>/<fileName>" and in ZqPDMFile under the key
// "<N(code1)>_<N(code2)>_<fileName>". Returns its size in kilobytes.
int StoreDesignFile(DemoContext& ctx, const QString& code1, const QString& code2, const QString& revision,
                    const QString& fileName, const QByteArray& content);
// The file of a resource item in the file store: "Zq/Resource/<N(itemCode)>/<fileName>".
void StoreResourceFile(DemoContext& ctx, const QString& itemCode, const QString& fileName, const QByteArray& content);

// Column lists shared by the demo and the scaled data.
QStringList TitleColumns();
QStringList DetailColumns();

void WriteUsers(DemoContext& ctx);
void WriteParts(DemoContext& ctx);          // products, titles, part lists, attributes, batches
void WriteDocuments(DemoContext& ctx);      // archived, project, team-work and resource documents
void WriteChangeOrders(DemoContext& ctx);   // orders, changed parts, distribution, order files
void WriteTasks(DemoContext& ctx);          // projects, change tasks, team work, reviews, parts in design

void WriteDemoData(DemoContext& ctx);

} // namespace zq::seed
