#include "import/formscreen.h"

#include "import/import_rules.h"
#include "import/loadimagedorv.h"

#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

Tformscreen* formscreen = nullptr;

Tformscreen::Tformscreen(QWidget* owner) : TForm(owner)
{
    RegisterImportClasses();
    LoadDefinition(QStringLiteral(":/import/formscreen.wdf"));
    formscreen = this;
}

Tformscreen::~Tformscreen()
{
    if (formscreen == this)
        formscreen = nullptr;
}

void Tformscreen::FormCreate(TObject*)
{
    setWindowFlags(Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        SetBounds(0, 0, screen->size().width(), screen->size().height());
}

void Tformscreen::FormClick(TObject*)
{
    Close();
}

QPoint Tformscreen::PictureOrigin() const
{
    return CentredOrigin(width(), height(), ShownPicture.width(), ShownPicture.height());
}

void Tformscreen::ShowPicture(const QImage& picture)
{
    ShownPicture = picture;
    Show();
    update();
}

void Tformscreen::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::black);
    if (!ShownPicture.isNull())
        p.drawImage(PictureOrigin(), ShownPicture);
}
