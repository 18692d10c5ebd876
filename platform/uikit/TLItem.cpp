#include "TLItem.h"

void CTLItem::SetSubstring(int index, const QString& text)
{
    if (index <= 0) {
        if (index == 0)
            m_text = text;
        return;
    }
    while (m_sub.size() < index)
        m_sub.append(QString());
    m_sub[index - 1] = text;
}

QString CTLItem::GetSubstring(int index) const
{
    if (index == 0)
        return m_text;
    if (index < 0 || index > m_sub.size())
        return QString();
    return m_sub[index - 1];
}
