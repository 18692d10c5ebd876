#include "PreviewController.h"
#include "PreviewAnswer.h"
#include "PreviewPane.h"
#include "PreviewRunner.h"

#include <QFileInfo>
#include <QLocale>

namespace zq::preview {

namespace {

constexpr int kSettleMs = 150;

} // namespace

QString NoPreviewText(const QString& localPath, const QString& title, const QString& fileDate, const QString& reason)
{
    const QFileInfo info(localPath);
    QString text = QStringLiteral("无预览\n\n%1").arg(title);
    if (info.exists())
        text += QStringLiteral("\n%1 字节").arg(QLocale::c().toString(info.size()));
    if (!fileDate.isEmpty())
        text += u'\n' + fileDate;
    else if (info.exists())
        text += u'\n' + info.lastModified().toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    if (!reason.isEmpty())
        text += QStringLiteral("\n\n") + reason;
    return text;
}

PreviewController::PreviewController(PreviewPane& pane, std::unique_ptr<PreviewRunner> runner, PreviewCache cache,
                                     QObject* parent)
    : QObject(parent), m_pane(pane), m_runner(std::move(runner)), m_cache(std::move(cache)),
      m_database(PreviewCache::SessionDatabase())
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this, &PreviewController::fetchAndDraw);
    connect(m_runner.get(), &PreviewRunner::finished, this, &PreviewController::onFinished);
    connect(&m_pane, &PreviewPane::pageRequested, this, &PreviewController::requestPage);
}

PreviewController::~PreviewController() = default;

QString PreviewController::key(int page) const
{
    // The text marked with the words and the picture of the same file are kept apart.
    const QStringList identity = m_subject.words.isEmpty() ? m_subject.identity
                                                           : m_subject.identity + QStringList{QStringLiteral("text")};
    return PreviewCache::KeyOf(m_database, identity, m_box, page);
}

void PreviewController::show(const PreviewSubject& subject)
{
    ++m_ticket;
    m_settle.stop();
    m_runner->cancel();
    m_subject = subject;
    m_failure.clear();
    m_localPath.clear();
    m_page = 0;
    m_waiting = false;
    if (!subject.hasFile()) {
        if (subject.fields.isEmpty())
            m_pane.clear();
        else
            m_pane.showProperties(subject.title, subject.fields);
        Q_EMIT shown();
        return;
    }
    if (const std::optional<QByteArray> kept = m_cache.get(key(0))) {
        PreviewAnswer answer;
        if (DecodeAnswer(*kept, &answer)) {
            display(answer);
            return;
        }
    }
    m_waiting = true;
    m_pane.showMessage(subject.title, QStringLiteral("正在生成预览..."));
    m_settle.start();
}

void PreviewController::clear()
{
    ++m_ticket;
    m_settle.stop();
    m_runner->cancel();
    m_subject = {};
    m_waiting = false;
    m_pane.clear();
}

void PreviewController::fetchAndDraw()
{
    if (m_localPath.isEmpty() || !QFileInfo::exists(m_localPath)) {
        const PreviewFetch fetched = m_subject.fetch();
        if (fetched.localPath.isEmpty()) {
            m_waiting = false;
            m_failure = fetched.reason;
            m_pane.showMessage(m_subject.title, fetched.reason);
            Q_EMIT shown();
            return;
        }
        m_localPath = fetched.localPath;
    }
    m_runner->submit({m_localPath, m_box, m_page, !m_subject.words.isEmpty()}, m_ticket);
}

void PreviewController::requestPage(int page)
{
    if (!m_subject.hasFile() || page == m_page)
        return;
    ++m_ticket;
    m_page = page;
    if (const std::optional<QByteArray> kept = m_cache.get(key(page))) {
        PreviewAnswer answer;
        if (DecodeAnswer(*kept, &answer)) {
            display(answer);
            return;
        }
    }
    m_waiting = true;
    fetchAndDraw();
}

void PreviewController::onFinished(int ticket, const PreviewAnswer& answer)
{
    if (ticket != m_ticket)
        return;   // for a row or page no longer wanted
    // A failure may be the moment's (a worker past its deadline): only what the file is is kept.
    if (answer.kind != PreviewAnswer::Kind::Failed)
        m_cache.put(key(answer.kind == PreviewAnswer::Kind::Picture ? answer.page : 0), EncodeAnswer(answer));
    display(answer);
}

void PreviewController::display(const PreviewAnswer& answer)
{
    m_waiting = false;
    m_failure = answer.kind == PreviewAnswer::Kind::Failed ? answer.reason : QString();
    const QString& title = m_subject.title;
    switch (answer.kind) {
    case PreviewAnswer::Kind::Picture: {
        QImage picture;
        picture.loadFromData(answer.png, "PNG");
        m_page = answer.page;
        m_pane.showPicture(title, picture, answer.page, answer.pageCount, answer.note);
        break;
    }
    case PreviewAnswer::Kind::Text:
        m_pane.showText(title, m_subject.words.isEmpty() ? FirstLines(answer.text) : answer.text, m_subject.words,
                        answer.note);
        break;
    case PreviewAnswer::Kind::NoPreview:
        m_pane.showMessage(title, NoPreviewText(m_localPath, title, m_subject.fileDate, answer.reason));
        break;
    case PreviewAnswer::Kind::Failed:
        m_pane.showMessage(title, QStringLiteral("不能预览: ") + answer.reason);
        break;
    }
    Q_EMIT shown();
}

} // namespace zq::preview
