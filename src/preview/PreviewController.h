#pragma once
// What the preview pane shows for the row the user selected: the row's fields when it has no
// file; else the preview kept in the cache, or, a moment after the selection settles, the file
// fetched as opening it would fetch it and drawn by the runner. Selecting another row gives up
// the preview under way.
#include "PreviewCache.h"
#include "PreviewSubject.h"

#include <QObject>
#include <QTimer>
#include <memory>

namespace zq::preview {

class PreviewPane;
class PreviewRunner;
struct PreviewAnswer;

class PreviewController : public QObject {
    Q_OBJECT
public:
    // The box pictures are drawn for: the pane fits them, so one size serves every pane width.
    static constexpr QSize kPictureBox{1000, 1000};

    PreviewController(PreviewPane& pane, std::unique_ptr<PreviewRunner> runner, PreviewCache cache,
                      QObject* parent = nullptr);
    ~PreviewController() override;

    void show(const PreviewSubject& subject);
    void clear();
    // Milliseconds between a selection and the fetch (rows passed over quickly are not fetched).
    void setSettleTime(int ms) { m_settle.setInterval(ms); }
    bool busy() const { return m_waiting; }
    // Pictures drawn to fit this box instead (the command line's picture size).
    void setPictureBox(QSize box) { m_box = box; }
    // Whether the last preview shown failed, and why (a fetch that failed included).
    bool lastFailed() const { return !m_failure.isEmpty(); }
    const QString& lastFailure() const { return m_failure; }

Q_SIGNALS:
    // The pane shows the selected row's preview (or why there is none).
    void shown();

private:
    void fetchAndDraw();
    void requestPage(int page);
    void onFinished(int ticket, const PreviewAnswer& answer);
    void display(const PreviewAnswer& answer);
    QString key(int page) const;

    PreviewPane& m_pane;
    std::unique_ptr<PreviewRunner> m_runner;
    PreviewCache m_cache;
    QStringList m_database;
    PreviewSubject m_subject;
    QString m_localPath;
    int m_page = 0;
    QSize m_box = kPictureBox;
    QString m_failure;
    int m_ticket = 0;
    bool m_waiting = false;
    QTimer m_settle;
};

// What the pane shows when there is no preview of a file: "无预览" with its name, size and date
// (the stored file's date when the row gives one, else the local copy's).
QString NoPreviewText(const QString& localPath, const QString& title, const QString& fileDate, const QString& reason);

} // namespace zq::preview
