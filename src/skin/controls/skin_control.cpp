#include "skin/controls/skin_control.h"

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/definition_reader.h"
#include "framework/qimage_bridge.h"
#include "skin/skin_drawing.h"

#include <QImage>

TsuiSkinControl::TsuiSkinControl(QObject* AOwner) : TComponent(AOwner), glyph_(std::make_unique<TBitmap>()) {}

TsuiSkinControl::~TsuiSkinControl() = default;

void TsuiSkinControl::SetControl(TWinControl* control)
{
    if (control_ == control) {
        Shape();
        return;
    }
    if (control_)
        RemoveFreeNotification(control_);
    control_ = control;
    if (control_)
        FreeNotification(control_);
    Shape();
}

void TsuiSkinControl::SetGlyph(TBitmap* glyph)
{
    glyph_->Assign(glyph);
    Shape();
}

void TsuiSkinControl::SetTransparentColor(TColor c)
{
    transparentColor_ = c;
    Shape();
}

void TsuiSkinControl::Shape()
{
    if (glyph_->Empty() || !control_)
        return;
    SetWindowRegionFromBitmap(control_, glyph_.get(), transparentColor_);
    if (glyph_->Width() != 0 && glyph_->Height() != 0)
        control_->SetBounds(control_->Left(), control_->Top(), glyph_->Width(), glyph_->Height());
    if (OnRegionChanged)
        RunGuarded([this] { OnRegionChanged(this); }, this);
}

void TsuiSkinControl::Notification(QObject* AComponent, TOperation Operation)
{
    TComponent::Notification(AComponent, Operation);
    // The shape stays on the window; only the reference goes.
    if (Operation == opRemove && AComponent == control_)
        control_ = nullptr;
}

bool TsuiSkinControl::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Glyph"), Qt::CaseInsensitive) == 0) {
        const QString path = reader.AssetPath(reader.StringValue(value));
        const QImage img(path);
        if (img.isNull())
            reader.Error(QStringLiteral("Cannot load picture %1").arg(path));
        TBitmap bmp;
        QImageToBitmap(img, bmp);
        SetGlyph(&bmp);
        return true;
    }
    return false;
}

bool TsuiSkinControl::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnRegionChanged", OnRegionChanged, h, "TObject*");
}
