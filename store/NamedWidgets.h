#pragma once

#include <QLatin1String>
#include <QPushButton>
#include <QString>

#include <utility>

// Building a window's controls under the object names that the translation
// component, the screenshots and the tests find them by.
namespace Widgets {

template <typename T, typename... Args> T *named(const char *name, Args &&...args)
{
    T *widget = new T(std::forward<Args>(args)...);
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A push button that Enter in an edit box never presses: a box must not save
// or delete on Enter.
inline QPushButton *button(const char *name, const char *text, QWidget *parent)
{
    QPushButton *b = named<QPushButton>(name, QString::fromUtf8(text), parent);
    b->setAutoDefault(false);
    b->setDefault(false);
    return b;
}

} // namespace Widgets
