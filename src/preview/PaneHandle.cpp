#include "PaneHandle.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>

namespace zq::preview {

PaneHandle::PaneHandle(QWidget* parent) : QWidget(parent)
{
    setCursor(Qt::SplitHCursor);
    setToolTip(QStringLiteral("拖动以改变预览的宽度"));
}

void PaneHandle::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton)
        return;
    m_dragging = true;
    m_pressX = int(event->globalPosition().x());
    m_widthAtPress = m_paneWidth;
}

void PaneHandle::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging)
        Q_EMIT dragged(m_widthAtPress - (int(event->globalPosition().x()) - m_pressX));
}

void PaneHandle::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_dragging || event->button() != Qt::LeftButton)
        return;
    m_dragging = false;
    Q_EMIT released();
}

void PaneHandle::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    QStyleOption option;
    option.initFrom(this);
    option.state |= QStyle::State_Horizontal;
    style()->drawControl(QStyle::CE_Splitter, &option, &painter, this);
}

} // namespace zq::preview
