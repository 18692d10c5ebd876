#pragma once
// Row record: a main text and numbered sub-strings (1, 2, ...).
#include <QString>
#include <QStringList>

class CTLItem {
public:
    CTLItem() = default;
    explicit CTLItem(const QString& text) : m_text(text) {}
    void InsertItem(const QString& text) { m_text = text; }
    QString GetItemText() const { return m_text; }
    void SetSubstring(int index, const QString& text);
    QString GetSubstring(int index) const;   // index 0 is the main text; "" beyond the last
    int GetSubstringCount() const { return int(m_sub.size()); }
private:
    QString m_text;
    QStringList m_sub;   // m_sub[i] is sub-string i + 1
};
