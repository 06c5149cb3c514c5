#pragma once
// The menu bar on screen: every window shows the one menu tree; before a menu opens and
// before a shortcut is matched the items are enabled afresh; a chosen command goes to
// the front window's handler, else the application's, else the framework's own.
class MenuItem;
class QMenuBar;
class QMenu;
class QWidget;

QMenuBar* BuildMenuBar(MenuItem* bar, QWidget* parent);
// Fills a menu with the given item's children (context menus use their own actions).
void UpdateMenuEnabling();
void DispatchMenuCommand(MenuItem* item);
// Whether the front window, the application or the framework has a command for the item.
bool HasMenuCommand(MenuItem* item);
void InstallMenuShortcutFilter();
