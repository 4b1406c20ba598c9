#pragma once

#include <QKeySequence>
#include <QList>
#include <QString>

// The main window's menu bar and tool buttons, in display order, with the
// right column of Operator that enables each (empty: open to everyone).
struct MenuEntry {
    QString name; // objectName of the QAction
    QString caption;
    QKeySequence shortcut;
    QString right;
    bool separatorBefore = false;
};

struct MenuDef {
    QString name; // objectName of the QMenu
    QString caption;
    QList<MenuEntry> entries;
};

struct ToolButtonDef {
    QString name;
    QString caption;
    QString entry; // the menu entry it triggers; empty for the quit button
    QString right;
};

const QList<MenuDef> &mainMenus();
const QList<ToolButtonDef> &mainToolButtons();

// Entries whose handler does something other than opening a registered window.
bool isBuiltInEntry(const QString &name);
