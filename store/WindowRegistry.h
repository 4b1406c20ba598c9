#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QDialog;
class QWidget;

// How the main window asks for a window to be opened.
struct OpenOptions
{
    QString roomStr; // check-in from the board's context menu
    int page = -1; // special cards: the page to show
    bool showCancel = true; // card window: whether the cancel button is offered
};

using WindowFactory = std::function<QDialog *(QWidget *parent, const OpenOptions &options)>;
// Drives a freshly made window into extra states for the screenshot tool;
// each grab(state) saves <objectName>-<state>.png.
using ScreenshotStates = std::function<void(QDialog *, const std::function<void(const QString &state)> &grab)>;

// Every window the menus open, keyed by the objectName of the menu entry.
// Each library registers its own windows, so the main window never includes
// them and no front-desk window includes another library's header.
class WindowRegistry
{
public:
    struct Entry
    {
        WindowFactory factory;
        ScreenshotStates screenshotStates;
    };

    void add(const QString &key, WindowFactory factory, ScreenshotStates states = {});
    bool has(const QString &key) const { return m_entries.contains(key); }
    WindowFactory factory(const QString &key) const;
    const Entry *entry(const QString &key) const;
    QStringList keys() const { return m_entries.keys(); }
    void clear();

    // Opens the window: create, exec(), delete. Returns exec()'s result, or
    // -1 when no window is registered under key.
    int open(const QString &key, QWidget *parent, const OpenOptions &options = {}) const;

    // Front-desk services other libraries use without including them.
    std::function<int(const QStringList &roomStrs)> quickCheckOut; // stays closed
    std::function<std::optional<QStringList>(QWidget *parent)> pickRooms; // nullopt when cancelled

private:
    QMap<QString, Entry> m_entries;
};

WindowRegistry &windowRegistry();
