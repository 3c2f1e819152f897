#include "mainwindow/configuration_file.h"

#include "document/editor_state.h"
#include "document/scratch_folder.h"
#include "framework/graphics.h"
#include "framework/ini_file.h"
#include "framework/string_list.h"
#include "platform/program_paths.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <array>

namespace {

const QString kMissing = QStringLiteral("no");

struct TColorName {
    const char* Name;
    uint32_t Value;
};

// The colour names the configuration may hold, with their values (red in the low byte; system
// colours as 0xFF0000nn).
constexpr std::array kColorNames{
    TColorName{"clBlack", 0x000000}, TColorName{"clMaroon", 0x000080}, TColorName{"clGreen", 0x008000},
    TColorName{"clOlive", 0x008080}, TColorName{"clNavy", 0x800000}, TColorName{"clPurple", 0x800080},
    TColorName{"clTeal", 0x808000}, TColorName{"clGray", 0x808080}, TColorName{"clSilver", 0xC0C0C0},
    TColorName{"clRed", 0x0000FF}, TColorName{"clLime", 0x00FF00}, TColorName{"clYellow", 0x00FFFF},
    TColorName{"clBlue", 0xFF0000}, TColorName{"clFuchsia", 0xFF00FF}, TColorName{"clAqua", 0xFFFF00},
    TColorName{"clWhite", 0xFFFFFF}, TColorName{"clLtGray", 0xC0C0C0}, TColorName{"clDkGray", 0x808080},
    TColorName{"clMoneyGreen", 0xC0DCC0}, TColorName{"clSkyBlue", 0xF0CAA6}, TColorName{"clCream", 0xF0FBFF},
    TColorName{"clMedGray", 0xA4A0A0}, TColorName{"clNone", 0x1FFFFFFF}, TColorName{"clDefault", 0x20000000},
    TColorName{"clScrollBar", 0xFF000000}, TColorName{"clBackground", 0xFF000001},
    TColorName{"clActiveCaption", 0xFF000002}, TColorName{"clInactiveCaption", 0xFF000003},
    TColorName{"clMenu", 0xFF000004}, TColorName{"clWindow", 0xFF000005}, TColorName{"clWindowFrame", 0xFF000006},
    TColorName{"clMenuText", 0xFF000007}, TColorName{"clWindowText", 0xFF000008},
    TColorName{"clCaptionText", 0xFF000009}, TColorName{"clActiveBorder", 0xFF00000A},
    TColorName{"clInactiveBorder", 0xFF00000B}, TColorName{"clAppWorkSpace", 0xFF00000C},
    TColorName{"clHighlight", 0xFF00000D}, TColorName{"clHighlightText", 0xFF00000E},
    TColorName{"clBtnFace", 0xFF00000F}, TColorName{"clBtnShadow", 0xFF000010}, TColorName{"clGrayText", 0xFF000011},
    TColorName{"clBtnText", 0xFF000012}, TColorName{"clInactiveCaptionText", 0xFF000013},
    TColorName{"clBtnHighlight", 0xFF000014}, TColorName{"cl3DDkShadow", 0xFF000015},
    TColorName{"cl3DLight", 0xFF000016}, TColorName{"clInfoText", 0xFF000017}, TColorName{"clInfoBk", 0xFF000018},
};

// A whole number as the configuration writes them: decimal with an optional sign, or "$" (or
// "0x") and hexadecimal digits for the full 32 bits.
bool TryWholeNumber(const QString& text, qint64& value)
{
    const QString t = text.trimmed();
    bool ok = false;
    if (t.startsWith(QLatin1Char('$')))
        value = qint64(t.mid(1).toUInt(&ok, 16));
    else if (t.startsWith(QLatin1String("0x"), Qt::CaseInsensitive))
        value = qint64(t.mid(2).toUInt(&ok, 16));
    else
        value = t.toInt(&ok, 10);
    return ok;
}

// A colour component 0..255 from its text; def when it is no whole number.
QString ColorComponent(const QString& text, const QString& def)
{
    if (ConfigurationValueMissing(text))
        return def;
    qint64 v = 0;
    if (!TryWholeNumber(text, v))
        return def;
    return QString::number(std::clamp<qint64>(v, 0, 255));
}

} // namespace

QString ConfigurationFileName()
{
    return WritablePath(QStringLiteral("data\\rozazuvidodiro.ini"));
}

QString ReadConfiguration(const QString& section, const QString& key)
{
    TIniFile ini(ConfigurationFileName());
    return ini.ReadString(section, key, kMissing);
}

void WriteConfiguration(const QString& section, const QString& key, const QString& value)
{
    TIniFile ini(ConfigurationFileName());
    ini.WriteString(section, key, value);
}

bool ConfigurationValueMissing(const QString& value)
{
    return value == kMissing;
}

int ReadNewImageSide(const QString& key)
{
    const QString text = ReadConfiguration(QStringLiteral("default"), key);
    qint64 v = 0;
    if (ConfigurationValueMissing(text) || !TryWholeNumber(text, v))
        return 48;
    // An image side is 1..255 pixels; anything else would make a document that cannot exist.
    if (v < 1 || v >= 256)
        return 48;
    return int(v);
}

bool TryStringToColor(const QString& text, uint32_t& color)
{
    const QString t = text.trimmed();
    for (const TColorName& c : kColorNames) {
        if (t.compare(QLatin1String(c.Name), Qt::CaseInsensitive) == 0) {
            color = c.Value;
            return true;
        }
    }
    qint64 v = 0;
    if (!TryWholeNumber(t, v))
        return false;
    color = uint32_t(v);
    return true;
}

void LoadEditorDefaults(TEditorState& state)
{
    state.NewImageWidth = ReadNewImageSide(QStringLiteral("x"));
    state.NewImageHeight = ReadNewImageSide(QStringLiteral("y"));
    const QString kind = ReadConfiguration(QStringLiteral("default"), QStringLiteral("color"));
    state.NewImageKind = ConfigurationValueMissing(kind) ? QStringLiteral("XP") : kind;

    struct TColorSection {
        const char* Section;
        const char* Prefix;
        std::array<const char*, 4> Defaults;
    };
    const TColorSection sections[] = {
        {"up_color", "up", {"255", "0", "0", "0"}},
        {"down_color", "down", {"255", "255", "255", "255"}},
    };
    const char* const keys[] = {"a", "r", "g", "b"};
    TIniFile ini(ConfigurationFileName());
    for (const TColorSection& s : sections) {
        for (int i = 0; i < 4; ++i) {
            const QString text = ini.ReadString(QLatin1String(s.Section), QLatin1String(keys[i]), kMissing);
            state.SetEditText(QLatin1String(s.Prefix) + QLatin1String(keys[i]),
                              ColorComponent(text, QLatin1String(s.Defaults[size_t(i)])));
        }
    }
}

QString EditColorToText(uint32_t argb)
{
    if ((argb >> 24) == 0xFF) {
        const TColor bgr = ArgbToColor(argb);
        for (const TColorName& c : kColorNames)
            if (c.Value == bgr)
                return QLatin1String(c.Name);
    }
    return QStringLiteral("$%1").arg(argb, 8, 16, QLatin1Char('0')).toUpper();
}

void LoadEditColors(TEditorState& state)
{
    TIniFile ini(ConfigurationFileName());
    uint32_t* const targets[] = {&state.GridColor1, &state.GridColor2, &state.SelectionColor};
    for (int i = 0; i < 3; ++i) {
        const QString text = ini.ReadString(QStringLiteral("default"), QStringLiteral("movecolor%1").arg(i + 1), kMissing);
        uint32_t color = 0;
        if (ConfigurationValueMissing(text) || !TryStringToColor(text, color))
            continue;
        // A colour name stands for an opaque colour; numbers are 0xAARRGGBB as written.
        if (text.trimmed().startsWith(QLatin1String("cl"), Qt::CaseInsensitive)) {
            if (color == clNone || color == clDefault)
                continue;
            color = ColorToArgb(color);
        }
        *targets[i] = color;
    }
}

QStringList ReadOpenHistory()
{
    TIniFile ini(ConfigurationFileName());
    const QString section = QStringLiteral("useropenfile");
    qint64 count = 0;
    const QString text = ini.ReadString(section, QStringLiteral("filenum"), kMissing);
    if (ConfigurationValueMissing(text) || !TryWholeNumber(text, count) || count <= 0)
        return {};
    // A damaged count can be huge; the section cannot hold more entries than it has lines.
    TStringList keys;
    ini.ReadSection(section, &keys);
    count = std::min<qint64>(count, keys.Count());
    QStringList paths;
    for (qint64 k = 1; k <= count; ++k) {
        const QString path = ini.ReadString(section, QStringLiteral("filename%1").arg(k), kMissing);
        if (!ConfigurationValueMissing(path))
            paths << path;
    }
    return paths;
}

void AppendOpenHistory(const QString& path)
{
    // Scratch files (a builder's frame, an import window's cell) are gone after the run: only
    // files of the user's own are remembered.
    const QString scratchRoot = QDir::cleanPath(ScratchFolder() + QStringLiteral("..")) + QLatin1Char('/');
    if (QDir::cleanPath(QFileInfo(path).absoluteFilePath()).startsWith(scratchRoot))
        return;
    TIniFile ini(ConfigurationFileName());
    const QString section = QStringLiteral("useropenfile");
    qint64 count = 0;
    const QString text = ini.ReadString(section, QStringLiteral("filenum"), kMissing).trimmed();
    if (ConfigurationValueMissing(text) || !TryWholeNumber(text, count) || count < 0)
        count = 0;
    ini.WriteString(section, QStringLiteral("filenum"), QString::number(count + 1));
    ini.WriteString(section, QStringLiteral("filename%1").arg(count + 1), path);
}

TStartupUpdateCheck ReadStartupUpdateCheck()
{
    const QString value = ReadConfiguration(QStringLiteral("liveupdate"), QStringLiteral("openorclose"));
    if (ConfigurationValueMissing(value))
        return TStartupUpdateCheck::Silent;
    if (value == QLatin1String("open"))
        return TStartupUpdateCheck::WithWindow;
    return TStartupUpdateCheck::None;
}
