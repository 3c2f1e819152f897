#include "skin/controls/tab_control.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/string_list.h"
#include "skin/file_theme.h"
#include "skin/skin_drawing.h"
#include "skin/theme_lookup.h"

#include <QPainter>
#include <algorithm>

// ---------------------------------------------------------------------------------------------
// TsuiTabControlTopPanel

TsuiTabControlTopPanel::TsuiTabControlTopPanel(TsuiTab* owner)
    : TCustomPanel(owner), tabs_(std::make_unique<TStringList>()), owner_(owner),
      activeTab_(std::make_unique<TBitmap>()), inactiveTab_(std::make_unique<TBitmap>()),
      bar_(std::make_unique<TBitmap>())
{
    for (auto& b : scrollButtons_)
        b = std::make_unique<TBitmap>();
    SetControlStyle((ControlStyle() & ~TControlStyle(csAcceptsControls)) | csOpaque);
    SetFillsBackground(false);
    SetText(QStringLiteral(" "));
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    SetBorderWidth(0);
    setMouseTracking(true);
    tabs_->Add(QStringLiteral("Tab1"));
    tabs_->OnChange = [this](TObject*) { TabsChanged(); };
    FitFlags();
}

TsuiTabControlTopPanel::~TsuiTabControlTopPanel() = default;

TStrings* TsuiTabControlTopPanel::Tabs() const { return tabs_.get(); }

void TsuiTabControlTopPanel::SetTabs(TStrings* tabs)
{
    tabs_->Assign(tabs);
}

void TsuiTabControlTopPanel::FitFlags()
{
    const size_t n = size_t(std::max(tabs_->Count(), 0));
    tabVisible_.resize(n, true);
    tabRects_.resize(n, TRect{});
}

void TsuiTabControlTopPanel::TabsChanged()
{
    FitFlags();
    Render();
}

bool TsuiTabControlTopPanel::TabVisible(int index) const
{
    return index >= 0 && size_t(index) < tabVisible_.size() ? bool(tabVisible_[size_t(index)]) : true;
}

void TsuiTabControlTopPanel::SetTabVisible(int index, bool visible)
{
    if (index < 0)
        return;
    if (size_t(index) >= tabVisible_.size())
        tabVisible_.resize(size_t(index) + 1, true);
    tabVisible_[size_t(index)] = visible;
    Render();
}

TRect TsuiTabControlTopPanel::TabRect(int index) const
{
    return index >= 0 && size_t(index) < tabRects_.size() ? tabRects_[size_t(index)] : TRect{};
}

void TsuiTabControlTopPanel::LoadPictures()
{
    ThemeImageSafe(fileTheme_, style_, ThemeItem::TabControlTabImage, activeTab_.get(), 2, 1);
    ThemeImageSafe(fileTheme_, style_, ThemeItem::TabControlTabImage, inactiveTab_.get(), 2, 2);
    ThemeImageSafe(fileTheme_, style_, ThemeItem::TabControlBarImage, bar_.get());
    for (int i = 0; i < 4; ++i)
        ThemeImageSafe(fileTheme_, style_, ThemeItem::ScrollButtonImage, scrollButtons_[i].get(), 4, i + 1);
}

void TsuiTabControlTopPanel::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    LoadPictures();
    scrollButtonWidth_ = scrollButtons_[0]->Width();
    scrollButtonHeight_ = scrollButtons_[0]->Height();
    SetHeight(activeTab_->Height() + bar_->Height());
    Render();
}

void TsuiTabControlTopPanel::SetLeftMargin(int v)
{
    leftMargin_ = v;
    Render();
}

void TsuiTabControlTopPanel::Resize()
{
    TCustomPanel::Resize();
    // The strip keeps to the top of its owner, across its whole width.
    if (owner_ && (Left() != 0 || Top() != 0 || Width() != owner_->Width()))
        SetBounds(0, 0, owner_->Width(), Height());
    Render();
}

TRect TsuiTabControlTopPanel::RightScrollButtonRect() const
{
    const int w = Width(), h = Height();
    const int bw = scrollButtonWidth_, bh = scrollButtonHeight_;
    const int y = bh + 4 < h ? (h - bh) / 2 - 2 : 0;
    const int x = w - bw - 2;
    return Rect(x, y, w - 2, y + bh);
}

TRect TsuiTabControlTopPanel::LeftScrollButtonRect() const
{
    const TRect r = RightScrollButtonRect();
    return Rect(r.Left - scrollButtonWidth_, r.Top, r.Left, r.Bottom);
}

void TsuiTabControlTopPanel::Render(bool keepActiveTabInView)
{
    const int w = std::max(Width(), 1), h = std::max(Height(), 1);
    TsuiOffscreen buffer(w, h);
    TCanvas* c = buffer.Canvas();
    // Beside the tabs the window behind the tab control shows.
    if (owner_)
        PaintParentUnderControl(c, owner_);
    hotScrollButton_ = 0;
    if (keepActiveTabInView && TabVisible(tabIndex_)) {
        // An active tab scrolled off to the left comes back as the first shown one.
        int ordinal = 0;
        for (int i = 0; i < tabIndex_ && i < tabs_->Count(); ++i)
            ordinal += TabVisible(i) ? 1 : 0;
        if (tabIndex_ >= 0 && ordinal < firstShown_)
            firstShown_ = ordinal;
    }
    if (keepActiveTabInView) {
        while (DrawTabs(c) < tabIndex_ && firstShown_ < tabs_->Count()) {
            ++firstShown_;
            if (owner_)
                PaintParentUnderControl(c, owner_);
        }
    } else {
        DrawTabs(c);
    }
    DrawScrollButtons(c);
    picture_ = buffer.Image().copy();
    update();
}

int TsuiTabControlTopPanel::DrawTabs(TCanvas* canvas)
{
    const int w = Width();
    const int bw = scrollButtonWidth_;
    const int lastLimit = w - 10;
    const int otherLimit = w - 2 * bw - 2;
    const TColor border = owner_ ? owner_->BorderColor() : clBlack;
    const bool maskActive = !activeTab_->Empty() && ArgbToColor(activeTab_->PixelArgb(0, 0)) == clFuchsia;
    const bool maskInactive = !inactiveTab_->Empty() && ArgbToColor(inactiveTab_->PixelArgb(0, 0)) == clFuchsia;
    const int h = activeTab_->Height();
    tabHeight_ = h;

    if (!bar_->Empty())
        canvas->StretchDraw(Rect(1, h, w - 1, h + bar_->Height()), bar_.get());
    canvas->Pen()->SetColor(border);
    canvas->Pen()->SetStyle(psSolid);
    canvas->Pen()->SetWidth(1);
    canvas->MoveTo(0, h);
    canvas->LineTo(0, h + bar_->Height());
    canvas->MoveTo(w - 1, h);
    canvas->LineTo(w - 1, h + bar_->Height());

    canvas->Font()->Assign(owner_ ? owner_->Font() : Font());
    int x = leftMargin_;
    int result = tabs_->Count() - 1;
    int visibleCount = 0;
    bool cut = false;
    FitFlags();
    std::fill(tabRects_.begin(), tabRects_.end(), TRect{});
    for (int i = 0; i < tabs_->Count(); ++i) {
        if (!TabVisible(i))
            continue;
        if (cut)
            break;
        const QString caption = tabs_->Get(i);
        const int width = caption.isEmpty() ? 80 : std::max(canvas->TextWidth(caption) + 20, 15);
        ++visibleCount;
        if (visibleCount <= firstShown_)
            continue;
        const bool active = i == tabIndex_;
        const int limit = i == tabs_->Count() - 1 ? lastLimit : otherLimit;
        TRect r = active ? Rect(x, 1, x + width, h + 1) : Rect(x, 0, x + width, h);
        int hitWidth = width;
        if (r.Right > limit) {
            r.Right = otherLimit;
            if (!active)
                hitWidth = std::max(r.Right - r.Left, 0);
            cut = true;
            result = i - 1;
        }
        tabRects_[size_t(i)] = Rect(x, 0, x + hitWidth, h);
        if (r.Right > r.Left)
            DrawThreePartBar(active ? activeTab_.get() : inactiveTab_.get(), canvas, r, active ? maskActive : maskInactive);
        x += width;
        canvas->Brush()->SetStyle(bsClear);
        QPainter* p = canvas->Handle();
        if (p && r.Right > r.Left) {
            canvas->Changing();
            p->save();
            p->setFont(canvas->Font()->ToQFont());
            p->setPen(ColorToQColor(canvas->Font()->Color()));
            if (cut) {
                const QRect tr(r.Left + 10, r.Top, r.Width() - 14, r.Height());
                p->setClipRect(tr);
                p->drawText(tr, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
            } else {
                const QRect tr(r.Left, r.Top, r.Width(), r.Height());
                p->drawText(tr, Qt::AlignHCenter | Qt::AlignVCenter | Qt::TextSingleLine, caption);
            }
            p->restore();
            canvas->Changed();
        }
        canvas->Brush()->SetStyle(bsSolid);
    }
    scrollButtonsShown_ = tabs_->Count() > 0 && (x > lastLimit || cut);
    lastWhole_ = result;
    return result;
}

void TsuiTabControlTopPanel::DrawScrollButtons(TCanvas* canvas)
{
    if (!scrollButtonsShown_ && firstShown_ <= 0)
        return;
    const TRect right = RightScrollButtonRect();
    const TRect left = LeftScrollButtonRect();
    const bool rightHot = IsPointInRectInclusive(mousePos_, right);
    const bool leftHot = IsPointInRectInclusive(mousePos_, left);
    if (rightHot)
        hotScrollButton_ = 1;
    else if (leftHot)
        hotScrollButton_ = -1;
    auto draw = [&](TBitmap* b, const TRect& r) {
        if (b->Empty())
            return;
        b->SetTransparentMode(tmAuto);
        b->SetTransparent(true);
        canvas->Draw(r.Left, r.Top, b);
    };
    draw(scrollButtons_[rightHot ? 1 : 0].get(), right);
    draw(scrollButtons_[leftHot ? 3 : 2].get(), left);
}

void TsuiTabControlTopPanel::PaintControl()
{
    if (picture_.isNull() || picture_.width() != Width() || picture_.height() != Height())
        Render();
    if (QPainter* p = Canvas()->Handle())
        p->drawImage(0, 0, picture_);
}

void TsuiTabControlTopPanel::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPanel::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    mousePos_ = {x, y};
    Render();
    if (hotScrollButton_ != 0) {
        if (hotScrollButton_ < 0)
            --firstShown_;
        else if (scrollButtonsShown_)
            ++firstShown_;
        firstShown_ = std::clamp(firstShown_, 0, tabs_->Count());
        Render();
        return;
    }
    for (int i = 0; i < tabs_->Count(); ++i) {
        const TRect& r = tabRects_[size_t(i)];
        if (r.Right <= r.Left)
            continue;
        if (r.Left < x && x < r.Right && 0 < y && y < tabHeight_) {
            changingByMouse_ = true;
            SetTabIndex(i);
            changingByMouse_ = false;
            break;
        }
    }
}

void TsuiTabControlTopPanel::MouseMove(TShiftState shift, int x, int y)
{
    TCustomPanel::MouseMove(shift, x, y);
    mousePos_ = {x, y};
    if (scrollButtonsShown_)
        Render();
}

void TsuiTabControlTopPanel::leaveEvent(QEvent* e)
{
    TCustomPanel::leaveEvent(e);
    mousePos_ = {-1, -1};
    if (scrollButtonsShown_)
        Render();
}

void TsuiTabControlTopPanel::SetTabIndex(int index)
{
    if (index == tabIndex_)
        return;
    if (tabs_->Count() == 0) {
        tabIndex_ = -1;
        Render();
        return;
    }
    if (index < -1 || index >= tabs_->Count()) {
        Render();
        return;
    }
    if (changingByMouse_ && owner_) {
        bool allow = true;
        owner_->Fire(owner_->OnChanging, owner_, allow);
        if (!allow)
            return;
    }
    tabIndex_ = index;
    Render(true);
    if (owner_)
        owner_->TabActivated(index);
}

// ---------------------------------------------------------------------------------------------
// TsuiTab

TsuiTab::TsuiTab(QWidget* parent, const StripFactory& createTabStrip) : TCustomPanel(parent)
{
    style_ = StartUIStyle(parent);
    SetControlStyle(ControlStyle() | csOpaque);
    SetFillsBackground(false);
    strip_ = createTabStrip(this);
    strip_->SetParent(this);
    strip_->OnClick = [this](TObject*) { Fire(OnClick, this); };
    strip_->OnDblClick = [this](TObject*) { Fire(OnDblClick, this); };
    SetText(QStringLiteral(" "));
    SetBevelInner(bvNone);
    SetBevelOuter(bvNone);
    SetBorderWidth(0);
    SetHeight(80);
    SetUIStyle(style_);
    strip_->SetBounds(0, 0, Width(), strip_->Height());
}

TsuiTab::~TsuiTab() = default;

bool TsuiTab::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnTabActive", OnTabActive, h, "TObject*,int")
        || BindEventTo(name, "OnChange", OnChange, h, "TObject*")
        || BindEventTo(name, "OnChanging", OnChanging, h, "TObject*,bool&") || TCustomPanel::BindEvent(name, h);
}

void TsuiTab::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    strip_->SetFileTheme(fileTheme_);
    strip_->SetUIStyle(style);
    ApplyStyleToChildren(style, fileTheme_);
    strip_->SetColor(ThemeColor(fileTheme_, style, ThemeItem::ControlBackgroundColor));
    borderColor_ = ThemeColor(fileTheme_, style, ThemeItem::ControlBorderColor);
    const bool winXP = !UsesFileTheme(fileTheme_, style) && EffectiveThemeStyle(fileTheme_, style) == WinXP;
    SetColor(winXP ? clWhite : ThemeColor(fileTheme_, style, ThemeItem::ControlBackgroundColor));
    Realign();
    update();
    strip_->Render();
}

void TsuiTab::SetFileTheme(TsuiFileTheme* fileTheme)
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

void TsuiTab::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

int TsuiTab::LeftMargin() const { return strip_->LeftMargin(); }
void TsuiTab::SetLeftMargin(int v) { strip_->SetLeftMargin(v); }

void TsuiTab::SetBorderColor(TColor c)
{
    borderColor_ = c;
    BorderColorChanged();
    update();
    strip_->Render();
}

void TsuiTab::SetTabIndex(int index) { strip_->SetTabIndex(index); }

void TsuiTab::TabActivated(int index)
{
    if (IsLoading() || eventsSuppressed_)
        return;
    Fire(OnTabActive, this, index);
    Fire(OnChange, this);
}

void TsuiTab::ApplyStyleToChildren(TsuiUIStyle style, TsuiFileTheme* fileTheme)
{
    ContainerApplyUIStyle(this, style, fileTheme);
}

void TsuiTab::FontChanged()
{
    TCustomPanel::FontChanged();
    if (strip_)
        strip_->Render();
}

void TsuiTab::Resize()
{
    TCustomPanel::Resize();
    if (strip_)
        strip_->SetBounds(0, 0, Width(), strip_->Height());
}

void TsuiTab::AdjustClientRect(TRect& rect) const
{
    const int top = strip_ ? strip_->Height() : 0;
    rect = Rect(3, top + 3, Width() - 3, Height() - 3);
}

void TsuiTab::Paint()
{
    const int w = Width(), h = Height();
    const int top = strip_->Height();
    TCanvas* c = Canvas();
    c->Brush()->SetColor(Color());
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(Rect(0, top, w, h));
    c->Pen()->SetColor(borderColor_);
    c->Pen()->SetStyle(psSolid);
    c->Pen()->SetWidth(1);
    c->MoveTo(0, top);
    c->LineTo(0, h - 1);
    c->LineTo(w - 1, h - 1);
    c->LineTo(w - 1, top - 1);
}

// ---------------------------------------------------------------------------------------------
// TsuiTabControl

TsuiTabControl::TsuiTabControl(QWidget* parent)
    : TsuiTab(parent, [](TsuiTab* owner) { return new TsuiTabControlTopPanel(owner); })
{
}

QStringList TsuiTabControl::TabList() const { return Tabs()->ToStringList(); }

void TsuiTabControl::SetTabList(const QStringList& list)
{
    TStringList l;
    l.SetStrings(list);
    SetTabs(&l);
}

bool TsuiTabControl::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Tabs.Strings"), Qt::CaseInsensitive) == 0) {
        SetTabList(reader.StringListValue(value));
        return true;
    }
    return TsuiTab::ReadDefinitionProperty(name, value, reader);
}
