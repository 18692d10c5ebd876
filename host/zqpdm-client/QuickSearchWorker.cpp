#include "QuickSearchWorker.h"

#include "ZQDBConnect.h"

namespace zq::host {

namespace {
constexpr int kSuggestions = 10;
}

void RegisterQuickSearchTypes()
{
    qRegisterMetaType<zq::quick::KindResult>();
    qRegisterMetaType<zq::quick::QuickResult>();
    qRegisterMetaType<QList<zq::quick::ListLine>>();
}

QuickSearchWorker::QuickSearchWorker(QString databaseUrl, QString indexUrl, QStringList kinds)
    : m_databaseUrl(std::move(databaseUrl)), m_indexUrl(std::move(indexUrl)), m_kinds(std::move(kinds))
{
}

QuickSearchWorker::~QuickSearchWorker() = default;

quick::QuickSearch* QuickSearchWorker::engine(QString* error)
{
    if (m_search)
        return m_search.get();
    auto database = std::make_unique<CZQDBConnect>(m_databaseUrl);
    const bool connected = database->Init() && database->ConnectPDM();
    // This connection is the worker's own, never the one the window and the module share.
    if (CZQDBConnect::GetCurDBConnect() == database.get())
        CZQDBConnect::SetCurDBConnect(nullptr);
    if (!connected) {
        *error = QStringLiteral("快速查找不能连接数据库: %1").arg(database->LastError());
        return nullptr;
    }
    m_database = std::move(database);
    m_index = std::make_unique<quick::ContentIndex>(m_indexUrl);
    m_search = std::make_unique<quick::QuickSearch>(m_database->GetPtrPDM(), m_index.get());
    return m_search.get();
}

void QuickSearchWorker::search(int serial, const QString& text)
{
    m_cancel = false;
    QString error;
    quick::QuickSearch* search = engine(&error);
    if (!search) {
        emit failed(serial, error);
        return;
    }
    const quick::QuickResult result = search->run(
        {text, m_kinds, quick::kHitsPerKind}, [&](const quick::KindResult& kind) { emit kindFinished(serial, kind); },
        &m_cancel);
    emit searchFinished(serial, result);
}

void QuickSearchWorker::checkList(int serial, const QStringList& codes)
{
    m_cancel = false;
    QString error;
    quick::QuickSearch* search = engine(&error);
    if (!search) {
        emit failed(serial, error);
        return;
    }
    emit listChecked(serial, quick::CheckPastedList(*search, codes, m_kinds));
}

void QuickSearchWorker::suggest(int serial, const QString& typed)
{
    QString error;
    quick::QuickSearch* search = engine(&error);
    emit suggested(serial, typed, search ? search->suggestCodes(typed, m_kinds, kSuggestions) : QStringList());
}

} // namespace zq::host
