#pragma once
// Modeless progress window with a text, a bar and "取消". SetText, SetPos and StepIt record
// their values at once; the window repaints at most about 30 times a second, so a per-row
// update costs microseconds. PeekAndPump lets pending events through (at most about every
// millisecond: a read that pumps after every row spends its time on rows, not on polling);
// Escape and "取消" cancel.
#include <QElapsedTimer>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class CProgressWnd : public QWidget {
    Q_OBJECT
public:
    CProgressWnd(QWidget* parent, const QString& title, bool smooth = false);
    ~CProgressWnd() override;

    void SetRange(int lower, int upper);
    void SetStep(int step);
    void SetText(const QString& text);
    // The text with its "%1" standing for the number; made only when shown or asked for, so
    // a text per row costs no formatting.
    void SetText(const QString& pattern, int number);
    void SetPos(int pos);
    void StepIt();
    // Lets pending events through; returns false once the user has cancelled.
    bool PeekAndPump(bool cancelOnEscape = true);
    bool Cancelled() const { return m_cancelled; }
    void Cancel();
    // How many progress windows of this process have been cancelled so far: what ran between two
    // readings of it was cancelled when the count moved.
    static int CancelledCount();
    void Hide();

    QString GetText() const;
    int GetPos() const { return m_pos; }
    int GetLower() const { return m_lower; }
    int GetUpper() const { return m_upper; }
    int GetStepCount() const { return m_steps; }   // StepIt calls so far
    int GetResetCount() const { return m_resets; } // SetPos(lower) calls after the first step (test hook)

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void repaintIfDue(bool force = false);

    QLabel* m_label = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    QElapsedTimer m_sinceRepaint;
    qint64 m_lastPumpNs = -1;   // when events were last let through (coarse monotonic clock)
    QString m_text;         // the text, or the pattern of a numbered text
    int m_number = -1;      // the number of a numbered text; −1: m_text is the text itself
    int m_lower = 0, m_upper = 100, m_step = 1, m_pos = 0;
    int m_steps = 0, m_resets = 0;
    bool m_cancelled = false;
    bool m_escapeCancels = true;
    bool m_dirty = true;
};
