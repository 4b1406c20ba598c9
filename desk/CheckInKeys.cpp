#include "CheckInKeys.h"

#include "TarvaneApplication.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QWidget>

CheckInKeys::CheckInKeys(QWidget *window, std::function<void()> onF2)
    : QObject(window)
    , m_window(window)
    , m_onF2(std::move(onF2))
{
    qApp->installEventFilter(this);
}

CheckInKeys::~CheckInKeys()
{
    qApp->removeEventFilter(this);
}

bool CheckInKeys::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() != m_window)
        return false;
    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier) {
        if (auto *dialog = qobject_cast<QDialog *>(m_window))
            dialog->reject();
        else
            m_window->close();
        return true;
    }
    if (key->key() == Qt::Key_F2 && m_onF2) {
        runGuarded(m_onF2);
        return true;
    }
    return false;
}
