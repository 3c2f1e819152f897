#pragma once

// The command-by-name protocol: windows drive each other by naming a window and one of its
// components (a hidden command button or a menu item) and running that component's click
// handler directly, not through Qt's button clicking. Names compare without regard to case; a
// missing window or component, or one without a click handler, does nothing.

#include <QString>
#include <QStringList>

class QObject;
class TForm;

// True when the component has a click handler bound.
bool HasClickHandler(QObject* component);

// The names of the commands of form a user can press that would do nothing: buttons, tool
// buttons and menu items without a click handler. Menu separators, items that open a submenu,
// tool-bar separators and buttons that close their window with a modal result are not commands
// of their own.
QStringList CommandsWithoutHandler(const TForm* form);

// Runs the component's click: a control runs even while disabled or hidden (hidden command
// buttons are disabled at times and must still work); a menu item runs only while enabled.
// Returns false when the component has no click handler.
bool ClickComponent(QObject* component);

// Finds the component by name on form and clicks it. Returns whether a click ran.
bool ClickComponentByName(TForm* form, const QString& componentName);

// Finds the window by name among all windows (MDI children included) and clicks its component.
// Every call looks both up afresh, so the command reaches whatever window has that name now.
bool RunCommandByName(const QString& windowName, const QString& componentName);
