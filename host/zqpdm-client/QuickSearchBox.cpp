#include "QuickSearchBox.h"

#include "QuickQuery.h"

#include <QAbstractItemView>
#include <QClipboard>
#include <QCompleter>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QStringListModel>
#include <QTimer>

namespace zq::host {

namespace {
// Suggestions are asked for once typing pauses this long, and from this many characters on.
constexpr int kTypingPauseMs = 150;
constexpr int kSuggestFrom = 3;
}

QuickSearchBox::QuickSearchBox(QWidget* parent) : QLineEdit(parent)
{
    setObjectName(QStringLiteral("quickSearchBox"));
    setPlaceholderText(QStringLiteral("快速查找"));
    setToolTip(QStringLiteral("快速查找 (Ctrl+K): 编号、名称或文件里的文字; 图号: 名称: 编号: 内容: 编制: 只找一项"));
    setClearButtonEnabled(true);
    setMinimumWidth(260);

    m_model = new QStringListModel(this);
    m_completer = new QCompleter(m_model, this);
    // The engine has chosen the codes already (separators forgiven): show them as they come.
    m_completer->setCompletionMode(QCompleter::UnfilteredPopupCompletion);
    m_completer->setMaxVisibleItems(10);
    m_completer->popup()->setObjectName(QStringLiteral("quickSuggestions"));
    setCompleter(m_completer);
    connect(m_completer, QOverload<const QString&>::of(&QCompleter::activated), this,
            [this](const QString& code) { emit searchRequested(code); });

    m_typing = new QTimer(this);
    m_typing->setSingleShot(true);
    m_typing->setInterval(kTypingPauseMs);
    connect(m_typing, &QTimer::timeout, this, &QuickSearchBox::requestSuggestions);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& typed) {
        if (typed.trimmed().size() >= kSuggestFrom)
            m_typing->start();
        else
            m_model->setStringList({});
    });
    connect(this, &QLineEdit::returnPressed, this, [this] {
        if (m_completer->popup()->isVisible())
            return;   // the suggestion chosen searches
        m_typing->stop();
        m_suggestFor.clear();
        if (!text().trimmed().isEmpty())
            emit searchRequested(text());
    });
}

void QuickSearchBox::requestSuggestions()
{
    m_suggestFor = text();
    emit suggestionsWanted(m_suggestFor);
}

void QuickSearchBox::setSuggestions(const QString& forText, const QStringList& codes)
{
    if (m_suggestFor.isEmpty() || forText != m_suggestFor || forText != text())
        return;   // typed on since (a newer answer follows), or searched already
    m_model->setStringList(codes);
    if (codes.isEmpty())
        m_completer->popup()->hide();
    else
        m_completer->complete();
}

void QuickSearchBox::keyPressEvent(QKeyEvent* event)
{
    if (event->matches(QKeySequence::Paste)) {
        const QString pasted = QGuiApplication::clipboard()->text();
        if (quick::IsPastedList(pasted)) {
            emit listPasted(quick::PastedCodes(pasted));
            return;
        }
    }
    QLineEdit::keyPressEvent(event);
}

} // namespace zq::host
