#include "StatusLine.h"

#include <algorithm>

namespace zq::console {

void StatusLine::show(const QString& text)
{
    if (m_terminal) {
        // Padded to the longest line so far, so that a shorter one leaves nothing behind.
        m_err << '\r' << text.leftJustified(m_width);
        m_width = std::max(m_width, int(text.size()));
        m_open = true;
    } else {
        m_err << text << '\n';
    }
    m_err.flush();
}

void StatusLine::finish()
{
    if (m_open)
        m_err << '\n';
    m_err.flush();
    m_open = false;
}

} // namespace zq::console
