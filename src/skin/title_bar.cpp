#include "skin/title_bar.h"

#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/dialogs.h"
#include "framework/forms.h"
#include "framework/icon.h"
#include "framework/picture.h"
#include "framework/streams.h"
#include "skin/skin_drawing.h"
#include "skin/skin_resources.h"
#include "skin/theme_lookup.h"

#include <QApplication>
#include <QFontMetrics>
#include <QIcon>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace {

void ErrorBox(const char* text)
{
    MessageBox(QString::fromLatin1(text), Application->Title(), MB_OK | MB_ICONERROR);
}

// The picture held by a TPicture as a bitmap (empty when it holds none).
bool PictureBitmap(TPicture* picture, TBitmap* out)
{
    TGraphic* g = picture ? picture->Graphic() : nullptr;
    if (!g || g->Empty())
        return false;
    if (auto* b = dynamic_cast<TBitmap*>(g)) {
        out->Assign(b);
        return true;
    }
    out->SetSize(g->Width(), g->Height());
    out->Canvas()->Draw(0, 0, g);
    return true;
}

int PictureWidth(TPicture* p) { return p && p->Graphic() && !p->Graphic()->Empty() ? p->Width() : 0; }
int PictureHeight(TPicture* p) { return p && p->Graphic() && !p->Graphic()->Empty() ? p->Height() : 0; }

void DrawPicture(TCanvas* canvas, TPicture* picture, int x, int y, bool transparent)
{
    TBitmap bmp;
    if (!PictureBitmap(picture, &bmp))
        return;
    bmp.SetTransparent(transparent);
    canvas->Draw(x, y, &bmp);
}

void SetFrame(TPicture* picture, TsuiFileTheme* fileTheme, TsuiUIStyle style, int frame)
{
    TBitmap bmp;
    if (ThemeImageSafe(fileTheme, style, ThemeItem::TitleBarButtonImage, &bmp, 18, frame))
        picture->SetGraphic(&bmp);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Buttons

TsuiTitleBarButton::TsuiTitleBarButton(TCollection* collection) : TCollectionItem(collection)
{
    for (auto& p : pics_)
        p = std::make_unique<TPicture>();
}

TsuiTitleBarButton::~TsuiTitleBarButton() = default;

TsuiTitleBar* TsuiTitleBarButton::TitleBar() const
{
    auto* c = dynamic_cast<TsuiTitleBarCollection*>(Collection());
    return c ? c->Bar() : nullptr;
}

void TsuiTitleBarButton::Repaint() { Changed(false); }

void TsuiTitleBarButton::SetVisible(bool v)
{
    visible_ = v;
    Repaint();
}

void TsuiTitleBarButton::SetButtonType(TsuiTitleBarBtnType t)
{
    if (t == suiControlBox && Collection()) {
        for (int i = 0; i < Collection()->Count(); ++i) {
            auto* other = static_cast<TsuiTitleBarButton*>(Collection()->Items(i));
            if (other->type_ == suiControlBox) {
                ErrorBox(TitleBarText::OneControlBox);
                return;
            }
        }
    }
    type_ = t;
    LoadPictures();
    Repaint();
}

void TsuiTitleBarButton::SetTransparent(bool v)
{
    transparent_ = v;
    Repaint();
}

void TsuiTitleBarButton::SetTop(int v)
{
    top_ = v;
    Repaint();
}

void TsuiTitleBarButton::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    LoadPictures();
    Repaint();
}

void TsuiTitleBarButton::SetPicNormal(TPicture* p)
{
    pics_[0]->Assign(p);
    Repaint();
}

void TsuiTitleBarButton::SetPicMouseOn(TPicture* p)
{
    pics_[1]->Assign(p);
    Repaint();
}

void TsuiTitleBarButton::SetPicMouseDown(TPicture* p)
{
    pics_[2]->Assign(p);
    Repaint();
}

void TsuiTitleBarButton::LoadPictures()
{
    TsuiTitleBar* bar = TitleBar();
    TsuiFileTheme* file = bar ? bar->FileTheme() : nullptr;
    transparent_ = ThemeBool(file, style_, ThemeItem::TitleBarButtonTransparentBool);
    if (type_ == suiCustom)
        return;
    int first = 1;
    switch (type_) {
    case suiControlBox: first = 1; break;
    case suiHelp: first = 4; break;
    case suiMax: {
        TForm* form = bar && !bar->Custom() ? bar->ParentFormOfBar() : nullptr;
        first = form && form->WindowState() == wsMaximized ? 10 : 7;
        break;
    }
    case suiMin: first = 13; break;
    case suiClose: first = 16; break;
    default: break;
    }
    for (int i = 0; i < 3; ++i)
        SetFrame(pics_[i].get(), file, style_, first + i);
    top_ = ThemeInteger(file, style_, ThemeItem::TitleBarButtonTopInt);
}

void TsuiTitleBarButton::DoAction()
{
    TsuiTitleBar* bar = TitleBar();
    TForm* form = bar ? bar->ParentFormOfBar() : nullptr;
    if (!form)
        return;
    switch (type_) {
    case suiMax:
        if (form->WindowState() == wsMaximized) {
            form->SetWindowState(wsNormal);
        } else {
            // The window manager fits a maximised window to the work area itself; placing it
            // there by hand as well would take its maximised state away again.
            form->SetWindowState(wsMaximized);
        }
        LoadPictures();
        Repaint();
        break;
    case suiMin:
        // Minimising the main window takes the whole program to the task bar.
        if (form == Application->MainForm())
            Application->Minimize();
        else
            form->SetWindowState(wsMinimized);
        break;
    case suiClose:
        form->Close();
        break;
    case suiControlBox:
        if (controlBoxMenu_) {
            const TPoint p = bar->MenuPoint();
            controlBoxMenu_->Popup(p.X, p.Y);
        }
        break;
    default:
        break;
    }
}

void TsuiTitleBarButton::Assign(TPersistent* source)
{
    auto* src = dynamic_cast<TsuiTitleBarButton*>(source);
    if (!src) {
        TCollectionItem::Assign(source);
        return;
    }
    visible_ = src->visible_;
    type_ = src->type_;
    transparent_ = src->transparent_;
    top_ = src->top_;
    controlBoxMenu_ = src->controlBoxMenu_;
    style_ = src->style_;
    for (int i = 0; i < 3; ++i)
        pics_[i]->Assign(src->pics_[i].get());
    Repaint();
}

// ---------------------------------------------------------------------------------------------
// Sections

TsuiTitleBarSection::TsuiTitleBarSection(TCollection* collection)
    : TCollectionItem(collection), picture_(std::make_unique<TPicture>())
{
}

TsuiTitleBarSection::~TsuiTitleBarSection() = default;

void TsuiTitleBarSection::Repaint() { Changed(false); }

void TsuiTitleBarSection::SetWidth(int v)
{
    width_ = v;
    Repaint();
}

void TsuiTitleBarSection::SetAlign(TsuiTitleBarAlign a)
{
    if (a == suiClient && Collection()) {
        for (int i = 0; i < Collection()->Count(); ++i)
            if (static_cast<TsuiTitleBarSection*>(Collection()->Items(i))->align_ == suiClient) {
                ErrorBox(TitleBarText::OneClientSection);
                return;
            }
    }
    align_ = a;
    if (a == suiClient)
        stretch_ = true;
    Repaint();
}

void TsuiTitleBarSection::SetPicture(TPicture* p)
{
    picture_->Assign(p);
    if (autoSize_)
        width_ = PictureWidth(picture_.get());
    Repaint();
}

void TsuiTitleBarSection::SetStretch(bool v)
{
    stretch_ = align_ == suiClient ? true : v;
    Repaint();
}

void TsuiTitleBarSection::SetAutoSize(bool v)
{
    autoSize_ = v;
    if (v)
        width_ = PictureWidth(picture_.get());
    Repaint();
}

void TsuiTitleBarSection::Assign(TPersistent* source)
{
    auto* src = dynamic_cast<TsuiTitleBarSection*>(source);
    if (!src) {
        TCollectionItem::Assign(source);
        return;
    }
    width_ = src->width_;
    align_ = src->align_;
    picture_->Assign(src->picture_.get());
    stretch_ = src->stretch_;
    autoSize_ = src->autoSize_;
    Repaint();
}

TsuiTitleBarCollection::TsuiTitleBarCollection(ItemFactory factory, TsuiTitleBar* bar)
    : TCollection(std::move(factory)), bar_(bar)
{
}

void TsuiTitleBarCollection::Update(TCollectionItem*)
{
    if (bar_)
        bar_->update();
}

// ---------------------------------------------------------------------------------------------
// System menu

TsuiTitleBarPopupMenu::TsuiTitleBarPopupMenu(TsuiTitleBar* bar) : TsuiPopupMenu(bar), bar_(bar)
{
    SetAutoHotkeys(true);
    auto add = [this](const char* caption, std::function<void()> action) {
        auto* item = new TMenuItem(Items());
        item->SetCaption(QString::fromLatin1(caption));
        if (action)
            item->OnClick = [action](TObject*) { action(); };
        Items()->Add(item);
        return item;
    };
    minimize_ = add(TitleBarText::Minimize, [this] {
        TForm* form = bar_->ParentFormOfBar();
        if (!form)
            return;
        if (form == Application->MainForm())
            Application->Minimize();
        else
            form->SetWindowState(wsMinimized);
    });
    maximize_ = add(TitleBarText::MaximizeRestore, [this] {
        for (int i = 0; i < bar_->Buttons()->Count(); ++i) {
            TsuiTitleBarButton* b = bar_->Button(i);
            if (b->Visible() && b->ButtonType() == suiMax)
                b->DoAction();
        }
    });
    add("-", nullptr);
    close_ = add(TitleBarText::Close, [this] {
        if (TForm* form = bar_->ParentFormOfBar())
            form->Close();
    });
}

void TsuiTitleBarPopupMenu::Popup(int x, int y)
{
    auto visible = [this](TsuiTitleBarBtnType type) {
        for (int i = 0; i < bar_->Buttons()->Count(); ++i)
            if (bar_->Button(i)->Visible() && bar_->Button(i)->ButtonType() == type)
                return true;
        return false;
    };
    minimize_->SetEnabled(visible(suiMin));
    maximize_->SetEnabled(visible(suiMax));
    close_->SetEnabled(visible(suiClose));
    TsuiPopupMenu::Popup(x, y);
}

// ---------------------------------------------------------------------------------------------
// TsuiTitleBar

TsuiTitleBar::TsuiTitleBar(QWidget* parent)
    : TCustomPanel(parent),
      buttons_(std::make_unique<TsuiTitleBarCollection>(CollectionItemFactory<TsuiTitleBarButton>(), this)),
      sections_(std::make_unique<TsuiTitleBarCollection>(CollectionItemFactory<TsuiTitleBarSection>(), this))
{
    InstallSkinFontSubstitutes();
    SetControlStyle((ControlStyle() & ~TControlStyle(csAcceptsControls)) | csOpaque);
    SetFillsBackground(false);
    SetBevelOuter(bvNone);
    SetAlign(alTop);
    systemMenu_ = new TsuiTitleBarPopupMenu(this);
    Font()->SetName(QStringLiteral("Tahoma"));
    Font()->SetColor(clWhite);
    Font()->SetStyle(fsBold);
    for (TsuiTitleBarBtnType t : {suiControlBox, suiClose, suiMax, suiMin})
        static_cast<TsuiTitleBarButton*>(buttons_->Add())->type_ = t;
    SetUIStyle(StartUIStyle(parent));
}

TsuiTitleBar::~TsuiTitleBar()
{
    // The collections tell the bar of their items going away; it is going away itself.
    buttons_.reset();
    sections_.reset();
}

TsuiTitleBarButton* TsuiTitleBar::Button(int index) const
{
    return static_cast<TsuiTitleBarButton*>(buttons_->Items(index));
}

TsuiTitleBarSection* TsuiTitleBar::Section(int index) const
{
    return static_cast<TsuiTitleBarSection*>(sections_->Items(index));
}

void TsuiTitleBar::SetButtons(TCollection* buttons)
{
    buttons_->Assign(buttons);
}

void TsuiTitleBar::SetSections(TCollection* sections)
{
    sections_->Assign(sections);
}

TForm* TsuiTitleBar::ParentFormOfBar() const
{
    if (TForm* f = ParentForm())
        return f;
    return qobject_cast<TForm*>(Owner());
}

bool TsuiTitleBar::InSkinnedWindow() const
{
    return (parentWidget() && parentWidget()->inherits("TsuiForm")) || (Owner() && Owner()->inherits("TsuiMDIForm"));
}

void TsuiTitleBar::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme != fileTheme_) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    ApplyStyle(true);
}

void TsuiTitleBar::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiTitleBar::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    ApplyStyle(false);
}

void TsuiTitleBar::ApplyStyle(bool keepFontColor)
{
    if (custom_)
        return;
    const TsuiUIStyle effective = EffectiveThemeStyle(fileTheme_, style_);
    const bool fromFile = UsesFileTheme(fileTheme_, style_);

    sections_->BeginUpdate();
    sections_->Clear();
    auto addSection = [&](int item, bool autoSize, TsuiTitleBarAlign align) {
        auto* s = static_cast<TsuiTitleBarSection*>(sections_->Add());
        TBitmap bmp;
        ThemeImageSafe(fileTheme_, style_, item, &bmp);
        TPicture pic;
        if (!bmp.Empty())
            pic.SetGraphic(&bmp);
        s->picture_->Assign(&pic);
        s->align_ = align;
        s->stretch_ = align == suiClient;
        s->SetAutoSize(autoSize);
    };
    addSection(ThemeItem::TitleBarLeftImage, true, suiLeft);
    addSection(ThemeItem::TitleBarRightImage, true, suiRight);
    addSection(ThemeItem::TitleBarClientImage, false, suiClient);
    sections_->EndUpdate();

    leftOffset_ = ThemeInteger(fileTheme_, style_, ThemeItem::TitleBarButtonLeftOffsetInt);
    rightOffset_ = ThemeInteger(fileTheme_, style_, ThemeItem::TitleBarButtonRightOffsetInt);
    borderColor_ = ThemeColor(fileTheme_, style_, ThemeItem::FormBorderColor);
    TBitmap buttons;
    ThemeImageSafe(fileTheme_, style_, ThemeItem::TitleBarButtonImage, &buttons);
    buttonHeight_ = buttons.Height();
    buttonTop_ = ThemeInteger(fileTheme_, style_, ThemeItem::TitleBarButtonTopInt) - (InSkinnedWindow() ? 3 : 0);
    if (TForm* form = ParentFormOfBar()) {
        TSizeConstraints c = form->Constraints();
        c.MinWidth = ThemeInteger(fileTheme_, style_, ThemeItem::FormMinWidthInt);
        form->SetConstraints(c);
    }
    roundCorner_ = ThemeInteger(fileTheme_, style_, ThemeItem::FormRoundCornerInt);

    for (int i = 0; i < buttons_->Count(); ++i)
        Button(i)->SetUIStyle(effective);
    systemMenu_->SetFileTheme(fileTheme_);
    systemMenu_->SetUIStyle(effective);

    if (!keepFontColor) {
        TColor color = clWhite;
        if (style_ == MacOS) {
            color = clBlack;
        } else if (fromFile) {
            const TColor c = ThemeColor(fileTheme_, style_, ThemeItem::ControlFontColor);
            if (c == 0x10000 || c == 0x30000 || c == 0x40000 || c == 0x50000)
                color = clBlack;
        }
        Font()->SetColor(color);
    }
    SetAutoSize(true);
    update();
}

void TsuiTitleBar::SetAutoSize(bool v)
{
    TCustomPanel::SetAutoSize(v && sections_->Count() > 0);
}

QSize TsuiTitleBar::AutoSizeExtent() const
{
    if (!AutoSize() || sections_->Count() == 0)
        return size();
    const int h = PictureHeight(Section(0)->Picture()) - (InSkinnedWindow() ? 3 : 0);
    return {Width(), std::max(h, 0)};
}

void TsuiTitleBar::SetButtonInterval(int v)
{
    buttonInterval_ = v;
    update();
}

void TsuiTitleBar::SetFormActive(bool v)
{
    formActive_ = v;
    update();
}

void TsuiTitleBar::SetLeftBtnXOffset(int v)
{
    leftOffset_ = v;
    update();
}

void TsuiTitleBar::SetRightBtnXOffset(int v)
{
    rightOffset_ = v;
    update();
}

void TsuiTitleBar::SetDrawAppIcon(bool v)
{
    drawAppIcon_ = v;
    update();
}

void TsuiTitleBar::RefreshMaxButton()
{
    if (custom_)
        return;
    for (int i = 0; i < buttons_->Count(); ++i)
        if (Button(i)->ButtonType() == suiMax)
            Button(i)->LoadPictures();
    update();
}

bool TsuiTitleBar::HasThreeSections() const { return sections_->Count() == 3; }

void TsuiTitleBar::TextChanged()
{
    TCustomPanel::TextChanged();
    update();
}

void TsuiTitleBar::FontChanged()
{
    TCustomPanel::FontChanged();
    update();
}

// ---------------------------------------------------------------------------------------------
// Painting and layout

TsuiTitleBar::Layout TsuiTitleBar::ComputeLayout(int width) const
{
    Layout l;
    int x = width + rightOffset_ + 1;
    for (int i = 0; i < buttons_->Count(); ++i) {
        TsuiTitleBarButton* b = Button(i);
        if (!b->Visible() || b->ButtonType() == suiControlBox)
            continue;
        const int w = PictureWidth(b->PicNormal());
        x -= w + buttonInterval_ + 1;
        l.Buttons.push_back({i, Rect(x, buttonTop_, x + w, buttonTop_ + PictureHeight(b->PicNormal()))});
    }
    l.CaptionRight = x;
    int left = leftOffset_;
    for (int i = 0; i < buttons_->Count(); ++i) {
        TsuiTitleBarButton* b = Button(i);
        if (!b->Visible() || b->ButtonType() != suiControlBox)
            continue;
        const int w = PictureWidth(b->PicNormal()), h = PictureHeight(b->PicNormal());
        if (drawAppIcon_) {
            l.Buttons.push_back({i, Rect(left + 3, buttonTop_, left + 3 + w, buttonTop_ + h)});
            left += 21;
        } else {
            l.Buttons.push_back({i, Rect(left, buttonTop_, left + w, buttonTop_ + h)});
            left += w + 5;
        }
        break;
    }
    if (left == 0)
        left = 6;
    l.CaptionLeft = left;
    return l;
}

int TsuiTitleBar::ButtonAt(int x, int y) const
{
    for (const auto& [index, r] : ComputeLayout(Width()).Buttons)
        if (IsPointInRectInclusive(x, y, r))
            return index;
    return -1;
}

namespace {
// The caption cut from its end until it and "..." fit in room; "..." alone when nothing does.
QString ShortenCaption(const QString& caption, const QFontMetrics& fm, int room)
{
    if (fm.horizontalAdvance(caption) <= room)
        return caption;
    QString rest = caption;
    while (!rest.isEmpty() && fm.horizontalAdvance(rest + QStringLiteral("...")) > room)
        rest.chop(1);
    return rest + QStringLiteral("...");
}
} // namespace

TPoint TsuiTitleBar::CaptionPos() const
{
    const Layout l = ComputeLayout(Width());
    const QFontMetrics fm(Font()->ToQFont());
    return {l.CaptionLeft, (buttonHeight_ - fm.height()) / 2 + buttonTop_};
}

QString TsuiTitleBar::DrawnCaption() const
{
    const Layout l = ComputeLayout(Width());
    return ShortenCaption(Caption(), QFontMetrics(Font()->ToQFont()), l.CaptionRight - l.CaptionLeft);
}

void TsuiTitleBar::Paint()
{
    TsuiOffscreen buffer(Width(), Height());
    TCanvas* c = buffer.Canvas();
    c->Brush()->SetStyle(bsClear);
    c->Font()->Assign(Font());
    DrawSections(c, Width());
    DrawButtonsAndCaption(c, Width());
    buffer.CopyTo(Canvas());
}

void TsuiTitleBar::DrawSections(TCanvas* canvas, int width)
{
    int x0 = 0, y0 = 0;
    if (InSkinnedWindow()) {
        y0 = -3;
        x0 = (Owner() && Owner()->inherits("TsuiMDIForm") && parentWidget()) ? -4 : -3;
    }
    int L = 0, R = 0;
    if (sections_->Count() >= 1) {
        TPicture* p = Section(0)->Picture();
        DrawPicture(canvas, p, x0, y0, false);
        L = x0 + PictureWidth(p);
    }
    if (sections_->Count() >= 2) {
        TPicture* p = Section(1)->Picture();
        R = width - PictureWidth(p) - x0;
        DrawPicture(canvas, p, R, y0, false);
    }
    if (sections_->Count() >= 3) {
        TBitmap bmp;
        TPicture* p = Section(2)->Picture();
        if (PictureBitmap(p, &bmp) && R > L)
            canvas->StretchDraw(Rect(L, y0, R, y0 + bmp.Height()), &bmp);
    }
}

void TsuiTitleBar::DrawButtonsAndCaption(TCanvas* canvas, int width)
{
    const Layout l = ComputeLayout(width);
    hot_ = -1;
    for (const auto& [index, r] : l.Buttons) {
        TsuiTitleBarButton* b = Button(index);
        const bool hot = IsPointInRectInclusive(mouse_.x(), mouse_.y(), r);
        if (hot)
            hot_ = index;
        if (b->ButtonType() == suiControlBox && drawAppIcon_) {
            QIcon icon = QApplication::windowIcon();
            QImage img;
            if (!icon.isNull()) {
                img = icon.pixmap(16, 16).toImage();
            } else {
                TIcon mainIcon;
                TMemoryStream stream(SkinResourceBytes(QStringLiteral("MAINICON")));
                try {
                    mainIcon.LoadFromStream(&stream);
                    img = mainIcon.ToImage();
                } catch (const Exception&) {
                }
            }
            if (!img.isNull()) {
                img = img.convertToFormat(QImage::Format_ARGB32).scaled(16, 16, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
                canvas->BlendImage(Bounds(r.Left, buttonTop_, 16, 16), img, Rect(0, 0, 16, 16));
            }
            continue;
        }
        TPicture* pic = hot ? (pressed_ ? b->PicMouseDown() : b->PicMouseOn()) : b->PicNormal();
        DrawPicture(canvas, pic, r.Left, buttonTop_, b->Transparent());
    }

    TFont* font = canvas->Font();
    if (!formActive_)
        font->SetColor(clInactiveCaption);
    const QFontMetrics fm(font->ToQFont());
    const QString text = ShortenCaption(Caption(), fm, l.CaptionRight - l.CaptionLeft);
    canvas->Brush()->SetStyle(bsClear);
    canvas->TextOut(l.CaptionLeft, (buttonHeight_ - fm.height()) / 2 + buttonTop_, text);
}

// ---------------------------------------------------------------------------------------------
// Mouse

TPoint TsuiTitleBar::MenuPoint() const { return ClientToScreen({0, Height()}); }

void TsuiTitleBar::ShowSystemMenu()
{
    const TPoint p = MenuPoint();
    systemMenu_->Popup(p.X, p.Y);
}

void TsuiTitleBar::MouseMove(TShiftState shift, int x, int y)
{
    mouse_ = {x, y};
    if (dragging_) {
        const QPoint now = mapToGlobal(QPoint(x, y));
        MoveWindowBy(now - dragStart_);
        dragStart_ = now;
    }
    hot_ = ButtonAt(x, y);
    update();
    TCustomPanel::MouseMove(shift, x, y);
}

void TsuiTitleBar::MouseLeave()
{
    mouse_ = {-10000, -10000};
    hot_ = -1;
    update();
    TCustomPanel::MouseLeave();
}

void TsuiTitleBar::MoveWindowBy(const QPoint& delta)
{
    TForm* form = ParentFormOfBar();
    if (!form || delta.isNull())
        return;
    form->SetBounds(form->Left() + delta.x(), form->Top() + delta.y(), form->Width(), form->Height());
}

void TsuiTitleBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    mouse_ = {x, y};
    if (button == mbLeft) {
        pressed_ = true;
        hot_ = ButtonAt(x, y);
        update();
        TForm* form = ParentFormOfBar();
        if (hot_ < 0 && form && form->WindowState() != wsMaximized) {
            // The system moves the window; MDI children and platforms without a system move
            // go through our own loop with the same rule.
            bool systemMove = false;
            if (!form->MdiFrame())
                if (QWindow* w = form->window()->windowHandle())
                    systemMove = w->startSystemMove();
            if (!systemMove) {
                dragging_ = true;
                dragStart_ = mapToGlobal(QPoint(x, y));
            }
            pressed_ = false;
        }
    }
    TCustomPanel::MouseDown(button, shift, x, y);
}

void TsuiTitleBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    mouse_ = {x, y};
    if (button == mbLeft) {
        dragging_ = false;
        const int hot = ButtonAt(x, y);
        if (hot >= 0 && pressed_) {
            TsuiTitleBarButton* b = Button(hot);
            if (b->ButtonType() != suiControlBox || b->ControlBoxMenu()) {
                b->DoAction();
                if (b->ButtonType() == suiCustom)
                    Fire(OnCustomBtnsClick, this, hot);
                else if (b->ButtonType() == suiHelp)
                    Fire(OnHelpBtnClick, this, hot);
            } else {
                ShowSystemMenu();
            }
        }
        pressed_ = false;
        update();
    }
    TCustomPanel::MouseUp(button, shift, x, y);
}

void TsuiTitleBar::mouseDoubleClickEvent(QMouseEvent* e)
{
    mouse_ = e->position().toPoint();
    TCustomPanel::mouseDoubleClickEvent(e);
}

void TsuiTitleBar::DblClick()
{
    const int hot = ButtonAt(mouse_.x(), mouse_.y());
    if (hot < 0) {
        for (int i = 0; i < buttons_->Count(); ++i)
            if (Button(i)->Visible() && Button(i)->ButtonType() == suiMax) {
                Button(i)->DoAction();
                break;
            }
    } else if (Button(hot)->ButtonType() == suiControlBox) {
        if (TForm* form = ParentFormOfBar())
            form->Close();
    }
    TCustomPanel::DblClick();
}

bool TsuiTitleBar::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnCustomBtnsClick", OnCustomBtnsClick, h, "TObject*,int")
        || BindEventTo(name, "OnHelpBtnClick", OnHelpBtnClick, h, "TObject*,int") || TCustomPanel::BindEvent(name, h);
}
