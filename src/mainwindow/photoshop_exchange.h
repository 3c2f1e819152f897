#pragma once

// Pictures to and from Photoshop. A plug-in in Photoshop writes the open picture to the exchange
// bitmap; the main window polls for it and hands it to the import window, which deletes it and
// resumes the poll when it closes.

#include <QString>
#include <functional>

// The exchange bitmap "c:\deduriveredovizur.bmp", in the folder that stands for drive C.
QString ExchangeFilePath();

// The source code the import window is told for the exchange bitmap.
inline constexpr int kExchangeSource = 119;

// Who receives a found exchange bitmap: the import window registers itself here. Without one the
// poll says that the import window is missing.
using TExchangeReceiver = std::function<void(const QString& path, int source)>;
void SetExchangeReceiver(TExchangeReceiver receiver);

// Turns the poll on again once the window that showed an exchange bitmap has gone.
void ResumeExchangePoll();

// The plug-in file beside the program, "suk\Brelnova Studio.8BE".
QString PluginFilePath();
// Copies the plug-in file into folder + "Brelnova Studio\", replacing an earlier copy. False,
// with the reason in error, when the plug-in file is missing or cannot be copied.
bool InstallPluginInto(const QString& folder, QString& error);
