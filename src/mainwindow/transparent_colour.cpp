// The picture strip under the tool palette that makes the primary colour fully transparent,
// leaving its red, green and blue as they were.

#include "framework/bitmap.h"
#include "framework/image.h"
#include "framework/picture.h"
#include "framework/qimage_bridge.h"
#include "mainwindow/iconmain.h"

#include <QImage>
#include <QPainter>

void Ticonmain::bgtmClick(TObject*)
{
    SetEditText(QStringLiteral("upa"), QStringLiteral("0"));
    upClick(this);
    SetEditText(QStringLiteral("colora"), QStringLiteral("0"));
    FillStyle = 1;
    SetTrackBarPosition(QStringLiteral("colorbara"), 0);
    // The well shows its pattern with the colour over it at alpha 0: the pattern alone.
    PaintSwatchFromStore(QStringLiteral("up"));
}

void Ticonmain::DrawTransparentStrip()
{
    auto* strip = qobject_cast<TImage*>(FindComponent(QStringLiteral("bgtm")));
    if (!strip || strip->Width() <= 0 || strip->Height() <= 0)
        return;
    // The checkerboard that stands for "no colour" wherever the editor shows transparency.
    QImage picture(strip->Width(), strip->Height(), QImage::Format_RGB32);
    QPainter p(&picture);
    for (int y = 0; y < picture.height(); y += 4)
        for (int x = 0; x < picture.width(); x += 4)
            p.fillRect(x, y, 4, 4, ((x + y) / 4) % 2 ? QColor(204, 204, 204) : QColor(255, 255, 255));
    p.setPen(QColor(128, 128, 128));
    p.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    p.end();
    TBitmap bitmap;
    QImageToBitmap(picture, bitmap);
    strip->Picture()->Assign(&bitmap);
}
