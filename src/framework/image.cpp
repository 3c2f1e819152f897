#include "framework/image.h"

#include "framework/definition_parser.h"
#include "framework/definition_reader.h"

#include <QPainter>

TImage::TImage(QWidget* parent) : TGraphicControl(parent) { SetBounds(0, 0, 105, 105); }

void TImage::SetPicture(const QImage& image)
{
    picture_ = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
    UpdateShown();
    if (AutoSize())
        AdjustSize();
    update();
}

void TImage::LoadPictureFromFile(const QString& fileName)
{
    QImage img(fileName);
    if (img.isNull())
        throw EInvalidGraphic(QString::fromLatin1(FrameworkText::InvalidGraphic));
    SetPicture(img);
}

void TImage::SetTransparent(bool v)
{
    transparent_ = v;
    UpdateShown();
    update();
}

void TImage::UpdateShown()
{
    shown_ = picture_;
    if (transparent_ && !shown_.isNull()) {
        bool hasAlpha = false;
        for (int y = 0; y < shown_.height() && !hasAlpha; ++y) {
            const QRgb* line = reinterpret_cast<const QRgb*>(shown_.constScanLine(y));
            for (int x = 0; x < shown_.width(); ++x)
                if (qAlpha(line[x]) != 255) {
                    hasAlpha = true;
                    break;
                }
        }
        if (!hasAlpha) {
            const QRgb key = shown_.pixel(0, shown_.height() - 1);
            for (int y = 0; y < shown_.height(); ++y) {
                QRgb* line = reinterpret_cast<QRgb*>(shown_.scanLine(y));
                for (int x = 0; x < shown_.width(); ++x)
                    if (line[x] == key)
                        line[x] = 0;
            }
        }
    }
}

QSize TImage::AutoSizeExtent() const
{
    return picture_.isNull() ? size() : picture_.size();
}

QRect TImage::DestRect() const
{
    const int pw = picture_.width(), ph = picture_.height();
    int w = pw, h = ph;
    const int cw = width(), ch = height();
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
    return QRect(x, y, w, h);
}

void TImage::Paint(QPainter& p)
{
    if (shown_.isNull())
        return;
    p.drawImage(DestRect(), shown_);
}

bool TImage::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Picture"), Qt::CaseInsensitive) == 0) {
        const QString path = reader.AssetPath(reader.StringValue(value));
        QImage img(path);
        if (img.isNull())
            reader.Error(QStringLiteral("Cannot load picture %1").arg(path));
        SetPicture(img);
        return true;
    }
    return TGraphicControl::ReadDefinitionProperty(name, value, reader);
}
