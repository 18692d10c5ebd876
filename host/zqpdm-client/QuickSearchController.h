#pragma once
// Ties the quick search box and its dock to the worker thread that searches: each request gets
// a serial, a newer one cancels the older, and only the answers of the latest reach the box and
// the dock.
#include "QuickHit.h"

#include <QObject>
#include <QThread>

namespace zq::host {

class QuickSearchBox;
class QuickSearchDock;
class QuickSearchWorker;

class QuickSearchController : public QObject {
    Q_OBJECT
public:
    // databaseUrl: the PDM database the window uses; kinds: those its page list shows.
    QuickSearchController(QuickSearchBox& box, QuickSearchDock& dock, const QString& databaseUrl,
                          const QString& indexUrl, const QStringList& kinds, QObject* parent = nullptr);
    ~QuickSearchController() override;

    void search(const QString& text);
    void checkList(const QStringList& codes);
    // The latest search has reported every kind.
    bool idle() const { return m_running == 0; }

Q_SIGNALS:
    void startSearch(int serial, const QString& text);
    void startList(int serial, const QStringList& codes);
    void startSuggest(int serial, const QString& typed);
    void searchDone();

private:
    QuickSearchBox& m_box;
    QuickSearchDock& m_dock;
    QThread m_thread;
    QuickSearchWorker* m_worker = nullptr;   // lives in m_thread, deleted when it ends
    int m_serial = 0;
    int m_suggestSerial = 0;
    int m_running = 0;
};

} // namespace zq::host
