#pragma once

// Making document windows: the template "newiconview" that lives for the whole run, and project
// windows "iconview" + number. Both are owned by the application and live in the main window's
// client area.

#include <QString>

class TForm;

TForm* CreateTemplateDocument();
// A project window with that name and caption (window caption and drawn title), not shown yet.
TForm* CreateDocumentWindow(const QString& name, const QString& caption);
