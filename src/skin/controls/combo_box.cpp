#include "skin/controls/combo_box.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/string_list.h"
#include "skin/file_theme.h"
#include "skin/theme_lookup.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QDir>
#include <QEvent>
#include <QPainter>
#include <QStorageInfo>
#include <QStyleOptionComboBox>
#include <algorithm>

namespace {

// Lies over the native combo box and paints the skin after it; the mouse goes through.
class ComboSkin : public QWidget {
public:
    explicit ComboSkin(TsuiCustomComboBox* owner) : QWidget(owner), owner_(owner)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        TCanvas canvas;
        canvas.SetPainter(&p);
        owner_->PaintSkin(&canvas);
        canvas.SetPainter(nullptr);
    }

private:
    TsuiCustomComboBox* owner_;
};

// The one-pixel frame in the combo box's border colour round its dropped-down list: lies over
// the list's window along its edge; the mouse goes through.
class ListFrame : public QWidget {
public:
    ListFrame(QWidget* list, TsuiCustomComboBox* owner) : QWidget(list), owner_(owner)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setAttribute(Qt::WA_TranslucentBackground);
        setFocusPolicy(Qt::NoFocus);
    }
    void Fit()
    {
        setGeometry(parentWidget()->rect());
        raise();
        show();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        TCanvas canvas;
        canvas.SetPainter(&p);
        canvas.Brush()->SetStyle(bsSolid);
        canvas.Brush()->SetColor(owner_->BorderColor());
        canvas.FrameRect(Rect(0, 0, width(), height()));
        canvas.SetPainter(nullptr);
    }

private:
    TsuiCustomComboBox* owner_;
};

// Fits the frame each time the list window opens or changes size, and tells the combo box when
// the list closes.
class ListWatcher : public QObject {
public:
    ListWatcher(QObject* parent, ListFrame* frame, std::function<void()> closed)
        : QObject(parent), frame_(frame), closed_(std::move(closed))
    {
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::Show || e->type() == QEvent::Resize)
            frame_->Fit();
        else if (e->type() == QEvent::Hide)
            closed_();
        return QObject::eventFilter(o, e);
    }

private:
    ListFrame* frame_;
    std::function<void()> closed_;
};

} // namespace

TsuiCustomComboBox::TsuiCustomComboBox(QWidget* parent) : TCustomComboBox(parent)
{
    style_ = StartUIStyle(parent);
    SetControlStyle(ControlStyle() | csOpaque);
    SetBorderWidth(0);
    // The skin draws the frame; the native one would show inside it.
    ComboWidget()->setFrame(false);
    skin_ = new ComboSkin(this);
    skin_->setGeometry(rect());
    skin_->raise();
    if (QAbstractItemView* view = ComboWidget()->view()) {
        QWidget* list = view->window();
        list->installEventFilter(new ListWatcher(this, new ListFrame(list, this), [this] { ListClosed(); }));
    }
    SetUIStyle(style_);
}

TsuiCustomComboBox::~TsuiCustomComboBox() = default;

void TsuiCustomComboBox::SetBorderColor(TColor c)
{
    borderColor_ = c;
    skin_->update();
}

void TsuiCustomComboBox::SetButtonColor(TColor c)
{
    buttonColor_ = c;
    skin_->update();
}

void TsuiCustomComboBox::SetArrowColor(TColor c)
{
    arrowColor_ = c;
    skin_->update();
}

void TsuiCustomComboBox::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    arrowColor_ = clBlack;
    borderColor_ = ThemeColor(fileTheme_, style_, ThemeItem::ControlBorderColor);
    buttonColor_ = ThemeColor(fileTheme_, style_, ThemeItem::FormBackgroundColor);
    skin_->update();
}

void TsuiCustomComboBox::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme_ != fileTheme) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    SetUIStyle(style_);
}

void TsuiCustomComboBox::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiCustomComboBox::Resize()
{
    TCustomComboBox::Resize();
    skin_->setGeometry(rect());
    skin_->raise();
}

void TsuiCustomComboBox::EnabledChanged()
{
    TCustomComboBox::EnabledChanged();
    skin_->update();
}

void TsuiCustomComboBox::ListClosed()
{
    if (auto* p = parentWidget())
        p->update();
}

TRect TsuiCustomComboBox::ButtonRect() const
{
    QComboBox* combo = ComboWidget();
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    opt.editable = combo->isEditable();
    opt.frame = combo->hasFrame();
    const QRect r = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxArrow, combo);
    const QPoint at = combo->mapTo(this, r.topLeft());
    // The button lies inside the two frames.
    const int w = Width(), h = Height();
    return Rect(std::max(at.x(), 2), std::max(at.y(), 2), std::min(at.x() + r.width(), w - 2), std::min(at.y() + r.height(), h - 2));
}

void TsuiCustomComboBox::DrawArrow(TCanvas* canvas, int x, int y)
{
    canvas->Pen()->SetStyle(psSolid);
    canvas->Brush()->SetStyle(bsSolid);
    auto triangle = [&](int dx, TColor c) {
        canvas->Pen()->SetColor(c);
        canvas->Brush()->SetColor(c);
        canvas->Polygon({{x + dx, y + dx}, {x + dx + 6, y + dx}, {x + dx + 3, y + dx + 3}});
    };
    if (Enabled()) {
        triangle(0, arrowColor_);
    } else {
        triangle(1, clWhite);
        triangle(0, 0x808080);
    }
}

void TsuiCustomComboBox::PaintSkin(TCanvas* canvas)
{
    // Geometry follows the control here so that the overlay always covers it.
    if (skin_->geometry() != rect())
        skin_->setGeometry(rect());
    if (Style() == csSimple)
        return;
    const int w = Width(), h = Height();
    canvas->Brush()->SetStyle(bsSolid);
    canvas->Brush()->SetColor(borderColor_);
    canvas->FrameRect(Rect(0, 0, w, h));
    canvas->Brush()->SetColor(Color());
    canvas->FrameRect(Rect(1, 1, w - 1, h - 1));

    const TRect b = ButtonRect();
    const TsuiUIStyle effective = EffectiveThemeStyle(fileTheme_, style_);
    const bool fromFile = UsesFileTheme(fileTheme_, style_);
    if (!fromFile && (effective == MacOS || effective == WinXP)) {
        const TBitmap& picture = SkinPicture(effective == MacOS ? QStringLiteral("MACOS_COMBOBOX_BUTTON")
                                                                : QStringLiteral("WINXP_COMBOBOX_BUTTON"));
        TBitmap copy;
        copy.Assign(const_cast<TBitmap*>(&picture));
        canvas->StretchDraw(b, &copy);
    } else {
        canvas->Brush()->SetColor(buttonColor_);
        canvas->FillRect(b);
        canvas->Pen()->SetColor(borderColor_);
        canvas->Pen()->SetStyle(psSolid);
        canvas->MoveTo(b.Left, b.Top - 1);
        canvas->LineTo(b.Left, b.Bottom + 1);
    }
    if (fromFile || effective != WinXP)
        DrawArrow(canvas, b.Left + b.Width() / 2 - 3, b.Height() / 2);
}

// ---------------------------------------------------------------------------------------------
// TsuiDriveComboBox

TsuiDriveComboBox::TsuiDriveComboBox(QWidget* parent) : TsuiCustomComboBox(parent)
{
    SetItemHeight(15);
    SetStyle(csDropDownList);
    Refresh();
}

QStringList TsuiDriveComboBox::MountPoints(const QList<QStorageInfo>& volumes)
{
    static const QStringList pseudo = {"proc", "sysfs", "devpts", "tmpfs", "devtmpfs", "cgroup", "cgroup2", "securityfs",
                                       "pstore", "debugfs", "tracefs", "mqueue", "hugetlbfs", "configfs", "fusectl",
                                       "bpf", "autofs", "binfmt_misc", "overlay", "nsfs", "ramfs", "efivarfs", "rpc_pipefs"};
    QStringList points;
    bool root = false;
    for (const QStorageInfo& v : volumes) {
        if (!v.isValid() || !v.isReady())
            continue;
        const QString path = v.rootPath();
        if (path == QLatin1String("/")) {
            root = true;
            continue;
        }
        if (pseudo.contains(QString::fromLatin1(v.fileSystemType())))
            continue;
        if (!points.contains(path))
            points << path;
    }
    std::sort(points.begin(), points.end());
    if (root)
        points.prepend(QStringLiteral("/"));
    return points;
}

void TsuiDriveComboBox::Refresh()
{
    const QString current = Drive();
    TStringList list;
    list.SetStrings(MountPoints(QStorageInfo::mountedVolumes()));
    Items()->Assign(&list);
    const int at = Items()->IndexOf(current);
    SetItemIndex(at >= 0 ? at : (Items()->Count() > 0 ? 0 : -1));
}

QString TsuiDriveComboBox::Drive() const
{
    const int i = ItemIndex();
    return i >= 0 && i < Items()->Count() ? Items()->Get(i) : QString();
}

void TsuiDriveComboBox::SetDrive(const QString& mountPoint)
{
    const int at = Items()->IndexOf(mountPoint);
    if (at >= 0)
        SetItemIndex(at);
}
