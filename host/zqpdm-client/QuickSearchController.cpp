#include "QuickSearchController.h"

#include "QuickSearchBox.h"
#include "QuickSearchDock.h"
#include "QuickSearchWorker.h"

namespace zq::host {

QuickSearchController::QuickSearchController(QuickSearchBox& box, QuickSearchDock& dock, const QString& databaseUrl,
                                             const QString& indexUrl, const QStringList& kinds, QObject* parent)
    : QObject(parent), m_box(box), m_dock(dock)
{
    RegisterQuickSearchTypes();
    m_worker = new QuickSearchWorker(databaseUrl, indexUrl, kinds);
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    connect(this, &QuickSearchController::startSearch, m_worker, &QuickSearchWorker::search);
    connect(this, &QuickSearchController::startList, m_worker, &QuickSearchWorker::checkList);
    connect(this, &QuickSearchController::startSuggest, m_worker, &QuickSearchWorker::suggest);

    connect(m_worker, &QuickSearchWorker::kindFinished, this, [this](int serial, const quick::KindResult& kind) {
        if (serial == m_serial)
            m_dock.addKind(kind);
    });
    connect(m_worker, &QuickSearchWorker::searchFinished, this, [this](int serial, const quick::QuickResult& result) {
        --m_running;
        if (serial != m_serial)
            return;
        m_dock.finishSearch(result);
        emit searchDone();
    });
    connect(m_worker, &QuickSearchWorker::listChecked, this, [this](int serial, const QList<quick::ListLine>& lines) {
        --m_running;
        if (serial != m_serial)
            return;
        m_dock.showList(lines);
        emit searchDone();
    });
    connect(m_worker, &QuickSearchWorker::failed, this, [this](int serial, const QString& message) {
        --m_running;
        if (serial == m_serial) {
            m_dock.showFailure(message);
            emit searchDone();
        }
    });
    connect(m_worker, &QuickSearchWorker::suggested, this,
            [this](int serial, const QString& typed, const QStringList& codes) {
                if (serial == m_suggestSerial)
                    m_box.setSuggestions(typed, codes);
            });

    connect(&m_box, &QuickSearchBox::searchRequested, this, &QuickSearchController::search);
    connect(&m_box, &QuickSearchBox::listPasted, this, &QuickSearchController::checkList);
    connect(&m_box, &QuickSearchBox::suggestionsWanted, this,
            [this](const QString& typed) { emit startSuggest(++m_suggestSerial, typed); });
    m_thread.setObjectName(QStringLiteral("quick search"));
    m_thread.start();
}

QuickSearchController::~QuickSearchController()
{
    m_worker->cancelRunning();
    m_thread.quit();
    m_thread.wait();
}

void QuickSearchController::search(const QString& text)
{
    m_worker->cancelRunning();
    ++m_running;
    m_dock.beginSearch(text);
    emit startSearch(++m_serial, text);
}

void QuickSearchController::checkList(const QStringList& codes)
{
    m_worker->cancelRunning();
    ++m_running;
    m_dock.beginSearch(QStringLiteral("%1 行编号").arg(codes.size()));
    emit startList(++m_serial, codes);
}

} // namespace zq::host
