#include "framework/image.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/picture.h"

TImage::TImage(QWidget* parent) : TGraphicControl(parent), picture_(std::make_unique<TPicture>())
{
    SetBounds(0, 0, 105, 105);
    picture_->OnChange = [this](TObject*) { PictureChanged(); };
}

TImage::~TImage() { picture_->OnChange = nullptr; }

void TImage::SetPicture(TPicture* picture) { picture_->Assign(picture); }

void TImage::PictureChanged()
{
    if (TGraphic* g = picture_->Graphic())
        g->SetTransparent(transparent_);
    if (AutoSize())
        AdjustSize();
    update();
}

void TImage::SetStretch(bool v)
{
    stretch_ = v;
    update();
}

void TImage::SetCenter(bool v)
{
    center_ = v;
    update();
}

void TImage::SetProportional(bool v)
{
    proportional_ = v;
    update();
}

void TImage::SetTransparent(bool v)
{
    transparent_ = v;
    if (TGraphic* g = picture_->Graphic())
        g->SetTransparent(v);
    update();
}

QSize TImage::AutoSizeExtent() const
{
    if (!picture_->Graphic() || picture_->Graphic()->Empty())
        return size();
    return QSize(picture_->Width(), picture_->Height());
}

TRect TImage::DestRect() const
{
    const int pw = picture_->Width(), ph = picture_->Height();
    int w = pw, h = ph;
    const int cw = Width(), ch = Height();
    if (stretch_ || (proportional_ && (pw > cw || ph > ch))) {
        if (proportional_ && pw > 0 && ph > 0) {
            if (qint64(cw) * ph > qint64(ch) * pw) {
                h = ch;
                w = int(qint64(ch) * pw / ph);
            } else {
                w = cw;
                h = int(qint64(cw) * ph / pw);
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    int x = 0, y = 0;
    if (center_) {
        x = (cw - w) / 2;
        y = (ch - h) / 2;
    }
    return Bounds(x, y, w, h);
}

TCanvas* TImage::Canvas()
{
    // While painting, the control's own canvas is the one on screen.
    if (TGraphicControl::Canvas()->HandleAllocated())
        return TGraphicControl::Canvas();
    TBitmap* bmp = picture_->Bitmap();
    if (bmp->Empty())
        bmp->SetSize(Width(), Height());
    return bmp->Canvas();
}

void TImage::Paint()
{
    TGraphic* g = picture_->Graphic();
    if (!g || g->Empty())
        return;
    g->Draw(TGraphicControl::Canvas(), DestRect());
}

bool TImage::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Picture"), Qt::CaseInsensitive) == 0) {
        const QString path = reader.AssetPath(reader.StringValue(value));
        try {
            picture_->LoadFromFile(path);
        } catch (const Exception& e) {
            reader.Error(QStringLiteral("Cannot load picture %1: %2").arg(path, e.Message()));
        }
        return true;
    }
    return TGraphicControl::ReadDefinitionProperty(name, value, reader);
}
