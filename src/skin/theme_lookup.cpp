#include "skin/theme_lookup.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/exceptions.h"
#include "framework/graphics.h"
#include "skin/file_theme.h"
#include "skin/theme_pictures.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>

TsuiUIStyle EffectiveThemeStyle(const TsuiFileTheme* fileTheme, TsuiUIStyle style)
{
    TsuiUIStyle effective = style;
    TsuiFileTheme::UsingFileTheme(fileTheme, style, effective);
    return effective;
}

bool UsesFileTheme(const TsuiFileTheme* fileTheme, TsuiUIStyle style)
{
    TsuiUIStyle effective = style;
    return TsuiFileTheme::UsingFileTheme(fileTheme, style, effective);
}

TColor ThemeColor(const TsuiFileTheme* fileTheme, TsuiUIStyle style, int item)
{
    TsuiUIStyle effective = style;
    if (TsuiFileTheme::UsingFileTheme(fileTheme, style, effective))
        return fileTheme->GetColor(item);
    return GetBuiltinThemeColor(effective, item);
}

int ThemeInteger(const TsuiFileTheme* fileTheme, TsuiUIStyle style, int item)
{
    TsuiUIStyle effective = style;
    if (TsuiFileTheme::UsingFileTheme(fileTheme, style, effective))
        return fileTheme->GetInteger(item);
    return GetBuiltinThemeInteger(effective, item);
}

bool ThemeBool(const TsuiFileTheme* fileTheme, TsuiUIStyle style, int item)
{
    TsuiUIStyle effective = style;
    if (TsuiFileTheme::UsingFileTheme(fileTheme, style, effective))
        return fileTheme->GetBool(item);
    return GetBuiltinThemeBool(effective, item);
}

void ThemeImage(TsuiFileTheme* fileTheme, TsuiUIStyle style, int item, TBitmap* bitmap, int frameCount, int frameIndex)
{
    if (!bitmap)
        return;
    TsuiUIStyle effective = style;
    if (TsuiFileTheme::UsingFileTheme(fileTheme, style, effective))
        fileTheme->GetImageFrame(item, bitmap, frameCount, frameIndex);
    else
        LoadBuiltinThemeFrame(effective, item, bitmap, frameCount, frameIndex);
}

bool ThemeImageSafe(TsuiFileTheme* fileTheme, TsuiUIStyle style, int item, TBitmap* bitmap, int frameCount,
                    int frameIndex)
{
    if (!bitmap)
        return false;
    // Read into a scratch bitmap so that a broken picture leaves the caller's as it was.
    TBitmap scratch;
    try {
        ThemeImage(fileTheme, style, item, &scratch, frameCount, frameIndex);
    } catch (const Exception&) {
        return false;
    }
    if (scratch.Empty())
        return false;
    bitmap->Assign(&scratch);
    return true;
}

TsuiUIStyle StartUIStyle(QObject* parentOrOwner)
{
    for (QObject* o = parentOrOwner; o; o = o->parent())
        if (IsFormObject(o))
            return GetOwnerFormUIStyle(o);
    return DeepBlue;
}

const TBitmap& SkinPicture(const QString& name)
{
    static QHash<QString, std::shared_ptr<TBitmap>> cache;
    const QString key = name.toUpper();
    auto it = cache.find(key);
    if (it == cache.end()) {
        auto bmp = std::make_shared<TBitmap>();
        try {
            LoadSkinResourceBitmap(key, bmp.get());
        } catch (const Exception&) {
            bmp = std::make_shared<TBitmap>();
        }
        it = cache.insert(key, bmp);
    }
    return **it;
}

void InstallSkinFontSubstitutes()
{
    static bool done = false;
    if (done)
        return;
    done = true;
    for (const char* name : {"Tahoma", "MS Sans Serif", "MS Shell Dlg", "MS Shell Dlg 2"})
        QFont::insertSubstitution(QString::fromLatin1(name), QStringLiteral("DejaVu Sans"));
}

// ---------------------------------------------------------------------------------------------

TsuiOffscreen::TsuiOffscreen(int width, int height)
    : image_(std::max(width, 1), std::max(height, 1), QImage::Format_RGB32), canvas_(std::make_unique<TCanvas>())
{
    image_.fill(Qt::white);
    canvas_->SetBits(image_.bits(), image_.width(), image_.height(), int(image_.bytesPerLine()));
}

TsuiOffscreen::~TsuiOffscreen()
{
    canvas_->SetBits(nullptr, 0, 0, 0);
}

const QImage& TsuiOffscreen::Image()
{
    canvas_->FinishDrawing();
    return image_;
}

void TsuiOffscreen::CopyTo(TCanvas* target, int x, int y)
{
    if (!target)
        return;
    const QImage& img = Image();
    target->BlitImage(Bounds(x, y, img.width(), img.height()), img, Rect(0, 0, img.width(), img.height()), cmSrcCopy);
}

// ---------------------------------------------------------------------------------------------

void DrawMnemonicText(TCanvas* canvas, const TRect& rect, int flags, const QString& text)
{
    QPainter* p = canvas ? canvas->Handle() : nullptr;
    if (!p)
        return;
    canvas->Changing();
    p->save();
    p->setFont(canvas->Font()->ToQFont());
    p->setPen(ColorToQColor(canvas->Font()->Color()));
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    p->drawText(QRect(rect.Left, rect.Top, rect.Width(), rect.Height()), flags | Qt::TextShowMnemonic, text);
    p->restore();
    canvas->Changed();
}

void DrawMnemonicTextAt(TCanvas* canvas, int x, int y, const QString& text)
{
    if (!canvas)
        return;
    const TSize e = MnemonicTextExtent(canvas->Font(), text);
    DrawMnemonicText(canvas, Bounds(x, y, e.cx + 1, e.cy), Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

TSize MnemonicTextExtent(const TFont* font, const QString& text)
{
    const QFontMetrics fm(font ? font->ToQFont() : QFont());
    const QRect r = fm.boundingRect(QRect(), Qt::TextSingleLine | Qt::TextShowMnemonic, text);
    return {r.width(), fm.height()};
}
