#pragma once
// The quick search box of the main window's toolbar ("快速查找"): Return searches; from the
// third character on, up to ten codes that begin with what is typed are offered below it; text
// of several lines pasted into it is taken as a list of codes to check.
#include <QLineEdit>
#include <QStringList>

class QCompleter;
class QStringListModel;
class QTimer;

namespace zq::host {

class QuickSearchBox : public QLineEdit {
    Q_OBJECT
public:
    explicit QuickSearchBox(QWidget* parent = nullptr);

    // Asks for the codes to offer for the text as it stands (suggestionsWanted).
    void requestSuggestions();
    // The answer: shown while the text is still the one asked for, and no search has started since.
    void setSuggestions(const QString& forText, const QStringList& codes);
    QCompleter* suggestions() const { return m_completer; }

Q_SIGNALS:
    void searchRequested(const QString& text);
    void listPasted(const QStringList& codes);
    void suggestionsWanted(const QString& text);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    QCompleter* m_completer = nullptr;
    QStringListModel* m_model = nullptr;
    QTimer* m_typing = nullptr;
    QString m_suggestFor;   // the text suggestions were asked for; empty: none are awaited
};

} // namespace zq::host
