#include "skin/theme_pictures.h"

#include "framework/bitmap.h"
#include "framework/streams.h"
#include "skin/skin_resources.h"
#include "skin/theme_items.h"

void CutStripFrame(TBitmap* source, TBitmap* target, int frameCount, int frameIndex)
{
    if (!source || !target || frameCount <= 0)
        return;
    const int w = source->Width() / frameCount;
    const int h = source->Height();
    const int x0 = (frameIndex - 1) * w;
    target->SetPixelFormat(source->PixelFormat() == pf32bit ? pf32bit : pf24bit);
    target->SetSize(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int sx = x0 + x;
            target->SetPixelArgb(x, y, sx >= 0 && sx < source->Width() ? source->PixelArgb(sx, y) : 0xFFFFFFFFu);
        }
}

bool LoadSkinResourceBitmap(const QString& name, TBitmap* bitmap)
{
    if (!bitmap)
        return false;
    const QByteArray bytes = SkinResourceBytes(name);
    if (bytes.isEmpty())
        return false;
    TMemoryStream stream(bytes);
    bitmap->LoadFromStream(&stream);
    return true;
}

void LoadBuiltinThemeImage(int style, int item, TBitmap* bitmap)
{
    const QString name = BuiltinThemeImageName(style, item);
    if (bitmap && !name.isEmpty())
        LoadSkinResourceBitmap(name, bitmap);
}

void PutFrameInto(TBitmap* picture, TGraphic* graphic, int frameCount, int frameIndex)
{
    if (!picture || !graphic)
        return;
    TBitmap frame;
    TBitmap* result = picture;
    if (frameCount != 0) {
        auto* target = dynamic_cast<TBitmap*>(graphic);
        CutStripFrame(picture, target ? target : &frame, frameCount, frameIndex);
        if (target)
            return;
        result = &frame;
    }
    if (result != graphic)
        graphic->Assign(result);
}

void LoadBuiltinThemeFrame(int style, int item, TGraphic* graphic, int frameCount, int frameIndex)
{
    if (!graphic || BuiltinThemeImageName(style, item).isEmpty())
        return;
    TBitmap picture;
    LoadBuiltinThemeImage(style, item, &picture);
    PutFrameInto(&picture, graphic, frameCount, frameIndex);
}
