#include "ProgressWnd.h"
#include "Desktop.h"
#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>
#include <ctime>

namespace {
// At most about 30 repaints a second; values in between are only recorded.
constexpr qint64 kRepaintIntervalMs = 33;
// Pending events are let through at most this often, as often as the window is repainted (about
// thirty times a second: a key or a click still answers at once). Letting them through after every
// row, or every millisecond, costs more than reading the rows: the list and its scroll bar repaint
// each time.
constexpr qint64 kPumpIntervalNs = 33000000;

// The monotonic clock at the kernel tick's resolution (a few milliseconds): enough for the pump
// interval and several times cheaper to read, which matters when it is asked after every row.
qint64 CoarseNowNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}
}

CProgressWnd::CProgressWnd(QWidget* parent, const QString& title, bool smooth)
    : QWidget(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint)
{
    setWindowTitle(title);
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_label = new QLabel(this);
    m_label->setTextFormat(Qt::PlainText);   // "<取消>" is text, not markup
    m_label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_label->setMinimumSize(320, m_label->fontMetrics().lineSpacing() * 3);
    m_bar = new QProgressBar(this);
    m_bar->setTextVisible(false);   // a Qt bar is drawn smooth whatever "smooth" asks for
    m_bar->setRange(m_lower, m_upper);
    m_bar->setValue(m_pos);
    m_cancel = new QPushButton(QStringLiteral("取消"), this);
    m_cancel->setAutoDefault(false);
    connect(m_cancel, &QPushButton::clicked, this, [this] { Cancel(); });

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_label, 1);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    // A fixed size: the window does not follow its text, and no size limits reach the window system.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    resize(layout->sizeHint());

    // Escape pressed in any window of the program while the window is up counts as cancel,
    // as the key reaches the program only while the window pumps.
    qApp->installEventFilter(this);
    show();
}

CProgressWnd::~CProgressWnd()
{
    qApp->removeEventFilter(this);
}

void CProgressWnd::SetRange(int lower, int upper)
{
    m_lower = lower;
    m_upper = upper;
    m_pos = std::clamp(m_pos, std::min(lower, upper), std::max(lower, upper));
    m_dirty = true;
}

void CProgressWnd::SetStep(int step)
{
    m_step = step;
}

void CProgressWnd::SetText(const QString& text)
{
    m_text = text;
    m_number = -1;
    m_dirty = true;
}

void CProgressWnd::SetText(const QString& pattern, int number)
{
    // Set once a row while rows are read: the same text (a literal has no shared header) is kept.
    if (m_text.constData() != pattern.constData() || m_text.size() != pattern.size())
        m_text = pattern;
    m_number = number;
    m_dirty = true;
}

QString CProgressWnd::GetText() const
{
    return m_number < 0 ? m_text : m_text.arg(m_number);
}

void CProgressWnd::SetPos(int pos)
{
    if (pos == m_lower && m_steps > 0)
        ++m_resets;
    m_pos = std::clamp(pos, std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    m_dirty = true;
}

void CProgressWnd::StepIt()
{
    ++m_steps;
    m_pos += m_step;
    // Like a progress control: past one end the bar starts over from the other.
    if (m_step >= 0 && m_pos > m_upper)
        m_pos = m_lower;
    else if (m_step < 0 && m_pos < m_lower)
        m_pos = m_upper;
    m_dirty = true;
}

bool CProgressWnd::PeekAndPump(bool cancelOnEscape)
{
    m_escapeCancels = cancelOnEscape;
    const qint64 now = CoarseNowNs();
    if (m_lastPumpNs < 0 || now - m_lastPumpNs >= kPumpIntervalNs) {
        repaintIfDue();
        QCoreApplication::processEvents();
        m_lastPumpNs = CoarseNowNs();
    }
    zq::Desktop::current().progressPumped(*this);
    return !m_cancelled;
}

namespace {
int g_cancelled = 0;
} // namespace

void CProgressWnd::Cancel()
{
    if (!m_cancelled)
        ++g_cancelled;
    m_cancelled = true;
}

int CProgressWnd::CancelledCount()
{
    return g_cancelled;
}

void CProgressWnd::Hide()
{
    repaintIfDue(true);
    hide();
}

void CProgressWnd::repaintIfDue(bool force)
{
    if (!m_dirty)
        return;
    if (!force && m_sinceRepaint.isValid() && m_sinceRepaint.elapsed() < kRepaintIntervalMs)
        return;
    m_label->setText(GetText());
    if (m_bar->minimum() != std::min(m_lower, m_upper) || m_bar->maximum() != std::max(m_lower, m_upper))
        m_bar->setRange(std::min(m_lower, m_upper), std::max(m_lower, m_upper));
    m_bar->setValue(m_pos);
    m_dirty = false;
    m_sinceRepaint.start();
}

bool CProgressWnd::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && m_escapeCancels && isVisible()
        && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape) {
        Cancel();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CProgressWnd::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && m_escapeCancels) {
        Cancel();
        return;
    }
    QWidget::keyPressEvent(event);
}

void CProgressWnd::closeEvent(QCloseEvent* event)
{
    // Closing the window stops the work; the caller hides the window when it has stopped.
    Cancel();
    event->ignore();
}
