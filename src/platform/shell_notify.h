#pragma once

// The shell's change broadcasts. Nothing on the Linux desktop listens for them, so each one is
// recorded in a process-wide log instead: callers still say what they changed, and tests (and a
// curious user, through the log) can see that the shell would have been told.

#include <QString>
#include <QStringList>
#include <cstdint>

constexpr uintptr_t HWND_BROADCAST = 0xFFFF;
constexpr unsigned WM_WININICHANGE = 0x001A;
constexpr unsigned WM_SETTINGCHANGE = 0x001A;
constexpr unsigned SPI_SETNONCLIENTMETRICS = 42;
constexpr unsigned SMTO_ABORTIFHUNG = 2;
constexpr long SHCNE_ASSOCCHANGED = 0x08000000;
constexpr unsigned SHCNF_FLUSH = 0x1000;

// Records a message sent to every top-level window ("SendMessage 0x1a 0 0").
void BroadcastMessage(unsigned message, uintptr_t wParam, intptr_t lParam);
// Records a timed broadcast ("SendMessageTimeout 0x1a 42 0").
void BroadcastMessageTimeout(unsigned message, uintptr_t wParam, intptr_t lParam, unsigned flags, unsigned timeout);
// Records a shell change notification ("SHChangeNotify 0x8000000 0x1000").
void SHChangeNotify(long eventId, unsigned flags, const void* item1, const void* item2);

// Every broadcast recorded since the last clear, oldest first.
QStringList ShellNotificationLog();
void ClearShellNotificationLog();
