#include "framework/bit_btn.h"

#include "framework/bitmap.h"
#include "framework/qimage_bridge.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/forms.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

TBitBtn::TBitBtn(QWidget* parent) : TButton(parent), glyph_(std::make_unique<TBitmap>())
{
    glyph_->OnChange = [this](TObject*) { UpdateGlyph(); };
}

TBitBtn::~TBitBtn() { glyph_->OnChange = nullptr; }

void TBitBtn::SetKind(TBitBtnKind k)
{
    kind_ = k;
    if (k == bkCustom)
        return;
    struct KindInfo {
        const char* caption;
        int modalResult;
    };
    static const KindInfo info[] = {
        {"", mrNone},       {"OK", mrOk},         {"Cancel", mrCancel}, {"&Help", mrNone},
        {"&Yes", mrYes},    {"&No", mrNo},        {"&Close", mrNone},   {"Abort", mrAbort},
        {"&Retry", mrRetry}, {"&Ignore", mrIgnore}, {"&All", mrAll},
    };
    SetCaption(QString::fromLatin1(info[k].caption));
    SetModalResult(info[k].modalResult);
    if (k == bkOK || k == bkYes)
        SetDefault(true);
    if (k == bkCancel || k == bkNo)
        SetCancel(true);
}

void TBitBtn::SetGlyph(TBitmap* glyph)
{
    glyph_->Assign(glyph);
    GuessNumGlyphs();
    UpdateGlyph();
}

void TBitBtn::GuessNumGlyphs()
{
    // A strip as wide as a whole number of squares holds that many glyphs.
    const int gw = glyph_->Width(), gh = glyph_->Height();
    if (gh > 0 && gw % gh == 0)
        numGlyphs_ = std::clamp(gw / gh, 1, 4);
}

void TBitBtn::UpdateGlyph()
{
    if (glyph_->Empty()) {
        Button()->setIcon(QIcon());
        return;
    }
    const int gw = glyph_->Width(), gh = glyph_->Height();
    QImage first = glyph_->ToImage().copy(0, 0, gw / numGlyphs_, gh).convertToFormat(QImage::Format_ARGB32);
    const QRgb key = first.pixel(0, first.height() - 1);
    if (qAlpha(key) == 255)
        for (int y = 0; y < first.height(); ++y)
            for (int x = 0; x < first.width(); ++x)
                if (first.pixel(x, y) == key)
                    first.setPixel(x, y, 0);
    Button()->setIcon(QIcon(QPixmap::fromImage(first)));
    Button()->setIconSize(first.size());
}

bool TBitBtn::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Glyph"), Qt::CaseInsensitive) == 0) {
        const QString path = reader.AssetPath(reader.StringValue(value));
        QImage img(path);
        if (img.isNull())
            reader.Error(QStringLiteral("Cannot load picture %1").arg(path));
        QImageToBitmap(img, *glyph_);
        GuessNumGlyphs();
        UpdateGlyph();
        return true;
    }
    return TButton::ReadDefinitionProperty(name, value, reader);
}
