#include "PreviewPane.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace zq::preview {

// A picture fitted into the pane, never enlarged past its own size, centred.
class PictureView : public QWidget {
public:
    using QWidget::QWidget;
    void setPicture(const QImage& picture)
    {
        m_picture = picture;
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().base());
        if (m_picture.isNull())
            return;
        QSize size = m_picture.size();
        if (size.width() > width() || size.height() > height())
            size.scale(this->size(), Qt::KeepAspectRatio);
        const QRect at(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(at, m_picture);
    }

private:
    QImage m_picture;
};

namespace {

enum Page { PicturePage, TextPage, PropertiesPage, MessagePage };

QToolButton* NavigationButton(const QString& text, const QString& toolTip, QWidget* parent)
{
    auto* button = new QToolButton(parent);
    button->setText(text);
    button->setToolTip(toolTip);
    button->setAutoRaise(true);
    return button;
}

} // namespace

PreviewPane::PreviewPane(QWidget* parent) : QFrame(parent)
{
    setFrameShape(QFrame::StyledPanel);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(4, 4, 4, 4);
    column->setSpacing(3);

    auto* top = new QHBoxLayout;
    m_title = new QLabel(this);
    m_title->setTextFormat(Qt::PlainText);
    m_title->setMinimumWidth(1);
    top->addWidget(m_title, 1);
    m_navigation = new QWidget(this);
    auto* row = new QHBoxLayout(m_navigation);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    m_previous = NavigationButton(QString(), QString(), m_navigation);
    m_position = new QLabel(m_navigation);
    m_next = NavigationButton(QString(), QString(), m_navigation);
    row->addWidget(m_previous);
    row->addWidget(m_position);
    row->addWidget(m_next);
    top->addWidget(m_navigation);
    column->addLayout(top);

    m_stack = new QStackedWidget(this);
    m_pictureView = new PictureView(m_stack);
    m_text = new QTextEdit(m_stack);
    m_text->setReadOnly(true);
    m_properties = new QTableWidget(0, 2, m_stack);
    m_properties->setHorizontalHeaderLabels({QStringLiteral("属性"), QStringLiteral("值")});
    m_properties->verticalHeader()->hide();
    m_properties->horizontalHeader()->setStretchLastSection(true);
    m_properties->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_properties->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_message = new QLabel(m_stack);
    m_message->setTextFormat(Qt::PlainText);
    m_message->setWordWrap(true);
    m_message->setAlignment(Qt::AlignCenter);
    m_message->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_stack->insertWidget(PicturePage, m_pictureView);
    m_stack->insertWidget(TextPage, m_text);
    m_stack->insertWidget(PropertiesPage, m_properties);
    m_stack->insertWidget(MessagePage, m_message);
    column->addWidget(m_stack, 1);

    m_note = new QLabel(this);
    m_note->setTextFormat(Qt::PlainText);
    m_note->setWordWrap(true);
    column->addWidget(m_note);

    connect(m_previous, &QToolButton::clicked, this, [this] {
        if (m_pageCount > 0)
            Q_EMIT pageRequested(std::max(0, m_page - 1));
        else
            stepHit(-1);
    });
    connect(m_next, &QToolButton::clicked, this, [this] {
        if (m_pageCount > 0)
            Q_EMIT pageRequested(std::min(m_pageCount - 1, m_page + 1));
        else
            stepHit(1);
    });
    clear();
}

void PreviewPane::setTitle(const QString& title)
{
    m_title->setText(title);
    m_title->setToolTip(title);
}

void PreviewPane::showNavigation(bool pages, bool hits)
{
    m_navigation->setVisible(pages || hits);
    if (pages) {
        m_previous->setText(QStringLiteral("◀"));
        m_previous->setToolTip(QStringLiteral("上一页"));
        m_next->setText(QStringLiteral("▶"));
        m_next->setToolTip(QStringLiteral("下一页"));
        m_position->setText(QStringLiteral("%1/%2").arg(m_page + 1).arg(m_pageCount));
        m_previous->setEnabled(m_page > 0);
        m_next->setEnabled(m_page + 1 < m_pageCount);
    } else if (hits) {
        m_previous->setText(QStringLiteral("▲"));
        m_previous->setToolTip(QStringLiteral("上一处"));
        m_next->setText(QStringLiteral("▼"));
        m_next->setToolTip(QStringLiteral("下一处"));
        m_position->setText(QStringLiteral("%1/%2").arg(m_hit + 1).arg(m_hits.size()));
        m_previous->setEnabled(m_hits.size() > 1);
        m_next->setEnabled(m_hits.size() > 1);
    }
}

void PreviewPane::showPicture(const QString& title, const QImage& picture, int page, int pageCount, const QString& note)
{
    setTitle(title);
    m_picture = picture;
    m_page = page;
    m_pageCount = pageCount;
    m_hits.clear();
    m_hit = -1;
    m_pictureView->setPicture(picture);
    m_stack->setCurrentIndex(PicturePage);
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    showNavigation(pageCount > 1, false);
}

void PreviewPane::showText(const QString& title, const QString& text, const QStringList& words, const QString& note)
{
    setTitle(title);
    m_picture = {};
    m_pageCount = 0;
    if (words.isEmpty()) {
        m_text->setPlainText(text);
        m_hits.clear();
    } else {
        const TextExcerpts excerpts = ExcerptsAround(text, words);
        m_text->setPlainText(excerpts.hits.isEmpty() ? text : excerpts.text);
        m_hits = excerpts.hits;
    }
    m_hit = m_hits.isEmpty() ? -1 : 0;
    markHits();
    m_stack->setCurrentIndex(TextPage);
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    showNavigation(false, !m_hits.isEmpty());
}

void PreviewPane::markHits()
{
    QList<QTextEdit::ExtraSelection> marks;
    for (qsizetype i = 0; i < m_hits.size(); ++i) {
        QTextEdit::ExtraSelection mark;
        mark.cursor = QTextCursor(m_text->document());
        mark.cursor.setPosition(int(m_hits[i].start));
        mark.cursor.setPosition(int(m_hits[i].start + m_hits[i].length), QTextCursor::KeepAnchor);
        mark.format.setBackground(i == m_hit ? QColor(255, 150, 50) : QColor(255, 235, 120));
        marks.append(mark);
    }
    m_text->setExtraSelections(marks);
    if (m_hit >= 0) {
        QTextCursor cursor(m_text->document());
        cursor.setPosition(int(m_hits[m_hit].start));
        m_text->setTextCursor(cursor);
        m_text->ensureCursorVisible();
    } else {
        m_text->moveCursor(QTextCursor::Start);
    }
}

void PreviewPane::stepHit(int delta)
{
    if (m_hits.isEmpty())
        return;
    const int count = int(m_hits.size());
    m_hit = ((m_hit + delta) % count + count) % count;
    markHits();
    showNavigation(false, true);
}

void PreviewPane::showProperties(const QString& title, const QList<QPair<QString, QString>>& fields)
{
    setTitle(title);
    m_picture = {};
    m_pageCount = 0;
    m_hits.clear();
    m_hit = -1;
    m_properties->setRowCount(int(fields.size()));
    for (int i = 0; i < int(fields.size()); ++i) {
        m_properties->setItem(i, 0, new QTableWidgetItem(fields[i].first));
        auto* value = new QTableWidgetItem(fields[i].second);
        value->setToolTip(fields[i].second);
        m_properties->setItem(i, 1, value);
    }
    m_properties->resizeColumnToContents(0);
    m_stack->setCurrentIndex(PropertiesPage);
    m_note->hide();
    showNavigation(false, false);
}

void PreviewPane::showMessage(const QString& title, const QString& message)
{
    setTitle(title);
    m_picture = {};
    m_pageCount = 0;
    m_hits.clear();
    m_hit = -1;
    m_message->setText(message);
    m_stack->setCurrentIndex(MessagePage);
    m_note->hide();
    showNavigation(false, false);
}

void PreviewPane::clear()
{
    showMessage(QString(), QStringLiteral("选择一行, 在这里预览"));
}

QString PreviewPane::messageText() const
{
    return m_stack->currentIndex() == MessagePage ? m_message->text() : QString();
}

QString PreviewPane::titleText() const
{
    return m_title->text();
}

QString PreviewPane::shownText() const
{
    return m_stack->currentIndex() == TextPage ? m_text->toPlainText() : QString();
}

int PreviewPane::propertyCount() const
{
    return m_stack->currentIndex() == PropertiesPage ? m_properties->rowCount() : 0;
}

} // namespace zq::preview
