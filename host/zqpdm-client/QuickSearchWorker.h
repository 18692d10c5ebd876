#pragma once
// Runs the quick search off the window's thread: its own connections to the PDM database and
// the content index, opened in the worker's thread when first needed. A newer request cancels
// the one still running; every answer carries the serial of its request, so the window drops
// answers it no longer waits for.
#include "PastedList.h"
#include "QuickSearch.h"

#include <QObject>
#include <QStringList>
#include <atomic>
#include <memory>

namespace zq { class CZQDBConnect; }

namespace zq::host {

class QuickSearchWorker : public QObject {
    Q_OBJECT
public:
    // kinds: the kinds the installation shows.
    QuickSearchWorker(QString databaseUrl, QString indexUrl, QStringList kinds);
    ~QuickSearchWorker() override;

    // Called from the window's thread: the search running now stops at its next row.
    void cancelRunning() { m_cancel = true; }

public Q_SLOTS:
    void search(int serial, const QString& text);
    void checkList(int serial, const QStringList& codes);
    void suggest(int serial, const QString& typed);

Q_SIGNALS:
    void kindFinished(int serial, const zq::quick::KindResult& kind);
    void searchFinished(int serial, const zq::quick::QuickResult& result);
    void listChecked(int serial, const QList<zq::quick::ListLine>& lines);
    void suggested(int serial, const QString& typed, const QStringList& codes);
    void failed(int serial, const QString& message);

private:
    quick::QuickSearch* engine(QString* error);

    QString m_databaseUrl;
    QString m_indexUrl;
    QStringList m_kinds;
    std::atomic_bool m_cancel{false};
    std::unique_ptr<CZQDBConnect> m_database;
    std::unique_ptr<quick::ContentIndex> m_index;
    std::unique_ptr<quick::QuickSearch> m_search;
};

// Registers the result types for signals between threads; once, before the first connection.
void RegisterQuickSearchTypes();

} // namespace zq::host
