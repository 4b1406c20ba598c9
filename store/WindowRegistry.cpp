#include "WindowRegistry.h"

#include <QDialog>

#include <memory>

void WindowRegistry::add(const QString &key, WindowFactory factory, ScreenshotStates states)
{
    m_entries.insert(key, Entry{std::move(factory), std::move(states)});
}

WindowFactory WindowRegistry::factory(const QString &key) const
{
    const auto it = m_entries.constFind(key);
    return it == m_entries.constEnd() ? WindowFactory() : it->factory;
}

const WindowRegistry::Entry *WindowRegistry::entry(const QString &key) const
{
    const auto it = m_entries.constFind(key);
    return it == m_entries.constEnd() ? nullptr : &*it;
}

void WindowRegistry::clear()
{
    m_entries.clear();
    quickCheckOut = {};
    pickRooms = {};
}

int WindowRegistry::open(const QString &key, QWidget *parent, const OpenOptions &options) const
{
    const WindowFactory make = factory(key);
    if (!make)
        return -1;
    std::unique_ptr<QDialog> window(make(parent, options));
    if (!window)
        return -1;
    return window->exec();
}

WindowRegistry &windowRegistry()
{
    static WindowRegistry registry;
    return registry;
}
