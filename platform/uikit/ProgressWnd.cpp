#include "ProgressWnd.h"
#include "Desktop.h"
#include <QCoreApplication>

CProgressWnd::CProgressWnd(QWidget* parent, const QString& title, bool) : QWidget(parent, Qt::Dialog) { setWindowTitle(title); }
CProgressWnd::~CProgressWnd() = default;
void CProgressWnd::SetRange(int lower, int upper) { m_lower = lower; m_upper = upper; }
void CProgressWnd::SetStep(int step) { m_step = step; }
void CProgressWnd::SetText(const QString& text) { m_text = text; }
void CProgressWnd::SetPos(int pos) { m_pos = pos; }
void CProgressWnd::StepIt() { m_pos += m_step; ++m_steps; }
bool CProgressWnd::PeekAndPump(bool) { QCoreApplication::processEvents(); zq::Desktop::current().progressPumped(*this); return !m_cancelled; }
void CProgressWnd::Hide() { hide(); }
void CProgressWnd::keyPressEvent(QKeyEvent* event) { QWidget::keyPressEvent(event); }
void CProgressWnd::closeEvent(QCloseEvent* event) { QWidget::closeEvent(event); }
void CProgressWnd::repaintIfDue(bool) {}
