#pragma once

// The current user's desktop icon metrics (large icon size, icon spacing) and the shell's change
// broadcasts that make it reload its icons.

#include <QString>

namespace DesktopMetrics {

inline constexpr const char* kWindowMetricsKey = "Control Panel\\Desktop\\WindowMetrics";

struct IconSizeSettings {
    bool Normal = true; // 32 by 32; false: 48 by 48
    QString Horizontal = QStringLiteral("35");
    QString Vertical = QStringLiteral("35");
};

// Fills settings from the store: a stored size other than "32" is big, no stored size normal; a
// spacing that is absent or no number leaves its box as it was.
// False when the key cannot be opened.
bool LoadIconSizeSettings(IconSizeSettings* settings);

// Writes the size and both spacings; n in a box is the spacing in pixels minus 32, stored as
// "-" followed by n * 15 + 480. A box that holds no usable number writes nothing at all and
// gives the message in *error. Broadcasts the change on success.
bool ApplyIconSizeSettings(const IconSizeSettings& settings, QString* error);

// WM_WININICHANGE to every top-level window, then the shell's association-change notification.
void NotifyShellIconChange();
// WM_SETTINGCHANGE for the non-client metrics, giving up on windows that hang.
void BroadcastSettingChange();
// Makes the shell rebuild its icon cache by writing "Shell Icon Size" one less and back. True only
// when all three steps ran; a stored size that is no number raises the conversion error before
// anything is written.
bool RebuildIconCache();

} // namespace DesktopMetrics
