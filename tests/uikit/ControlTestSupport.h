#pragma once
// Helpers for the control tests: one widgets application for the test binary and mouse and
// keyboard input sent the way the window system would deliver it.
#include <QAbstractItemView>
#include <QApplication>
#include <QContextMenuEvent>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
#include <ostream>

#include "TestApplication.h"

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace zqtest {

inline QApplication& app()
{
    return zq::test::TestApp();
}

// Base of test fixtures whose members are widgets: the application exists before them.
struct WithApp {
    WithApp() { app(); }
};

inline void mouse(QWidget* target, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                  Qt::KeyboardModifiers modifiers = {})
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button);
    QMouseEvent event(type, QPointF(pos), QPointF(target->mapToGlobal(pos)), button, held, modifiers);
    QApplication::sendEvent(target, &event);
}

inline void click(QWidget* target, QPoint pos, Qt::MouseButton button = Qt::LeftButton,
                  Qt::KeyboardModifiers modifiers = {})
{
    mouse(target, QEvent::MouseButtonPress, pos, button, modifiers);
    mouse(target, QEvent::MouseButtonRelease, pos, button, modifiers);
}

inline void doubleClick(QWidget* target, QPoint pos)
{
    click(target, pos);
    mouse(target, QEvent::MouseButtonDblClick, pos, Qt::LeftButton);
    mouse(target, QEvent::MouseButtonRelease, pos, Qt::LeftButton);
}

// A right click as the window system delivers it: press, release, then the context-menu event.
inline void rightClick(QWidget* target, QPoint pos)
{
    click(target, pos, Qt::RightButton);
    QContextMenuEvent event(QContextMenuEvent::Mouse, pos, target->mapToGlobal(pos));
    QApplication::sendEvent(target, &event);
}

inline void key(QWidget* target, int keyCode, const QString& text = QString(), Qt::KeyboardModifiers modifiers = {})
{
    QKeyEvent press(QEvent::KeyPress, keyCode, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, keyCode, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Centre of a cell of an item view, in viewport coordinates.
inline QPoint cellCentre(QAbstractItemView& view, int row, int column)
{
    return view.visualRect(view.model()->index(row, column)).center();
}

// Lets events through until the condition holds or a generous deadline passes.
template <class Condition>
bool pumpUntil(Condition condition, int deadlineMs = 5000)
{
    QElapsedTimer elapsed;
    elapsed.start();
    while (!condition()) {
        if (elapsed.elapsed() > deadlineMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

} // namespace zqtest
