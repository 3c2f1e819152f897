#include "framework/bit_btn.h"

#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/forms.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QPushButton>

TBitBtn::TBitBtn(QWidget* parent) : TButton(parent), glyph_(std::make_shared<QImage>()) {}

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

QImage TBitBtn::Glyph() const { return *glyph_; }

void TBitBtn::SetGlyph(const QImage& glyph)
{
    *glyph_ = glyph;
    // A strip as wide as a whole number of squares holds that many glyphs.
    if (!glyph.isNull() && glyph.height() > 0 && glyph.width() % glyph.height() == 0)
        numGlyphs_ = std::clamp(glyph.width() / glyph.height(), 1, 4);
    UpdateGlyph();
}

void TBitBtn::UpdateGlyph()
{
    if (glyph_->isNull()) {
        Button()->setIcon(QIcon());
        return;
    }
    const int w = glyph_->width() / numGlyphs_;
    QImage first = glyph_->copy(0, 0, w, glyph_->height()).convertToFormat(QImage::Format_ARGB32);
    // The framework's glyphs take their bottom-left pixel as the transparent colour.
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
        SetGlyph(img);
        return true;
    }
    return TButton::ReadDefinitionProperty(name, value, reader);
}
