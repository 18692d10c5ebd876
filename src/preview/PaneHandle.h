#pragma once
// The bar between the result list and the preview pane: dragged left or right it asks for a
// wider or narrower pane.
#include <QWidget>

namespace zq::preview {

class PaneHandle : public QWidget {
    Q_OBJECT
public:
    explicit PaneHandle(QWidget* parent = nullptr);

Q_SIGNALS:
    // The pane's width the drag asks for, as it goes, and once when it ends.
    void dragged(int paneWidth);
    void released();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

public:
    // The pane's width when the drag starts.
    void setPaneWidth(int width) { m_paneWidth = width; }

private:
    int m_paneWidth = 0;
    int m_pressX = 0;
    int m_widthAtPress = 0;
    bool m_dragging = false;
};

} // namespace zq::preview
