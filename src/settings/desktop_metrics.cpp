#include "settings/desktop_metrics.h"

#include "framework/sysutils.h"
#include "platform/registry_store.h"
#include "platform/shell_notify.h"

namespace DesktopMetrics {

namespace {

QString Key() { return QString::fromLatin1(kWindowMetricsKey); }

QString Read(const QString& name)
{
    RegistryValue value;
    return RegistryStore::GetValue(HKEY_CURRENT_USER, Key(), name, &value) ? value.Text() : QString();
}

bool Write(const QString& name, const QString& text)
{
    return RegistryStore::SetValue(HKEY_CURRENT_USER, Key(), name, RegistryValue::String(text));
}

void LoadSpacing(const QString& name, QString* box)
{
    int v = 0;
    if (!TryStrToInt(Read(name).trimmed(), v))
        return;
    const qint64 magnitude = v < 0 ? -qint64(v) : qint64(v);
    *box = QString::number((magnitude - 480) / 15);
}

// The spacing a box asks for, or an error naming the text. The spacing in pixels (n + 32) must
// not be negative, and a huge number must not wrap into a small one.
bool SpacingOf(const QString& box, qint64* stored, QString* error)
{
    int n = 0;
    if (!TryStrToInt(box.trimmed(), n) || n < -32 || n > 100000) {
        if (error)
            *error = QStringLiteral("'%1' is not a valid icon spacing").arg(box.trimmed());
        return false;
    }
    *stored = qint64(n) * 15 + 480;
    return true;
}

} // namespace

bool LoadIconSizeSettings(IconSizeSettings* settings)
{
    if (!RegistryStore::CreateKey(HKEY_CURRENT_USER, Key()))
        return false;
    // Without a stored size the shell draws its large icons at 32 pixels.
    RegistryValue size;
    settings->Normal = !RegistryStore::GetValue(HKEY_CURRENT_USER, Key(), QStringLiteral("Shell Icon Size"), &size)
        || size.Text() == QLatin1String("32");
    LoadSpacing(QStringLiteral("IconSpacing"), &settings->Horizontal);
    LoadSpacing(QStringLiteral("IconVerticalspacing"), &settings->Vertical);
    return true;
}

bool ApplyIconSizeSettings(const IconSizeSettings& settings, QString* error)
{
    qint64 horizontal = 0, vertical = 0;
    if (!SpacingOf(settings.Horizontal, &horizontal, error) || !SpacingOf(settings.Vertical, &vertical, error))
        return false;
    if (RegistryStore::CreateKey(HKEY_CURRENT_USER, Key())) {
        Write(QStringLiteral("Shell Icon Size"), settings.Normal ? QStringLiteral("32") : QStringLiteral("48"));
        Write(QStringLiteral("IconSpacing"), QLatin1Char('-') + QString::number(horizontal));
        Write(QStringLiteral("IconVerticalspacing"), QLatin1Char('-') + QString::number(vertical));
    }
    NotifyShellIconChange();
    return true;
}

void NotifyShellIconChange()
{
    BroadcastMessage(WM_WININICHANGE, 0, 0);
    SHChangeNotify(SHCNE_ASSOCCHANGED, SHCNF_FLUSH, nullptr, nullptr);
}

void BroadcastSettingChange()
{
    BroadcastMessageTimeout(WM_SETTINGCHANGE, SPI_SETNONCLIENTMETRICS, 0, SMTO_ABORTIFHUNG, 10000);
}

bool RebuildIconCache()
{
    if (!RegistryStore::KeyExists(HKEY_CURRENT_USER, Key()))
        return false;
    const QString stored = Read(QStringLiteral("Shell Icon Size"));
    if (stored.isEmpty())
        return false;
    const int size = StrToInt(stored);
    if (!Write(QStringLiteral("Shell Icon Size"), QString::number(size - 1)))
        return false;
    BroadcastSettingChange();
    if (!RegistryStore::KeyExists(HKEY_CURRENT_USER, Key()) || !Write(QStringLiteral("Shell Icon Size"), stored))
        return false;
    BroadcastSettingChange();
    return true;
}

} // namespace DesktopMetrics
