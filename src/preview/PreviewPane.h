#pragma once
// The preview pane beside a tab's result list: a picture (a page, an image, a drawing) with ◀ ▶
// for a document's pages, a text with ▲ ▼ through the words it was found by, a row's fields as a
// property list, or a message. It only shows; PreviewController decides what.
#include "TextExcerpts.h"

#include <QFrame>
#include <QImage>
#include <QList>
#include <QPair>

class QLabel;
class QStackedWidget;
class QTableWidget;
class QTextEdit;
class QToolButton;

namespace zq::preview {

class PictureView;

class PreviewPane : public QFrame {
    Q_OBJECT
public:
    explicit PreviewPane(QWidget* parent = nullptr);

    // page and pageCount: the page shown of a document of pages (0 of 0 for a picture of its own).
    void showPicture(const QString& title, const QImage& picture, int page, int pageCount, const QString& note = {});
    // With words, the text around each of their occurrences, highlighted, ▲ ▼ to go from one to the next.
    void showText(const QString& title, const QString& text, const QStringList& words, const QString& note = {});
    void showProperties(const QString& title, const QList<QPair<QString, QString>>& fields);
    void showMessage(const QString& title, const QString& message);
    void clear();

    // What is shown, for tests and the command line's picture: the picture, the text's
    // occurrence in hand (from 0; −1 without one), the message.
    const QImage& picture() const { return m_picture; }
    int currentHit() const { return m_hit; }
    int hitCount() const { return int(m_hits.size()); }
    QString messageText() const;
    QString titleText() const;
    QString shownText() const;
    int propertyCount() const;
    // Goes to the next (+1) or previous (−1) occurrence, round from the last to the first.
    void stepHit(int delta);

Q_SIGNALS:
    void pageRequested(int page);

private:
    void setTitle(const QString& title);
    void showNavigation(bool pages, bool hits);
    void markHits();

    QLabel* m_title = nullptr;
    QWidget* m_navigation = nullptr;
    QToolButton* m_previous = nullptr;
    QToolButton* m_next = nullptr;
    QLabel* m_position = nullptr;
    QStackedWidget* m_stack = nullptr;
    PictureView* m_pictureView = nullptr;
    QTextEdit* m_text = nullptr;
    QTableWidget* m_properties = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_note = nullptr;
    QImage m_picture;
    int m_page = 0;
    int m_pageCount = 0;
    QList<TextRange> m_hits;
    int m_hit = -1;
};

} // namespace zq::preview
