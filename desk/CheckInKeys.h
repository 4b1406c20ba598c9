#pragma once

#include <QObject>

#include <functional>

class QWidget;

// Sees the key presses of one window before any of its controls does: Esc
// closes the window (rejecting it), F2 runs the given handler when there is
// one. Owned by the window.
class CheckInKeys : public QObject {
public:
    CheckInKeys(QWidget *window, std::function<void()> onF2 = {});
    ~CheckInKeys() override;

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    std::function<void()> m_onF2;
};
