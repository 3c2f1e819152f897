#include "controls/speed_bar.h"

#include "controls/control_text.h"
#include "controls/speed_bar_customize.h"
#include "controls/storage/form_placement.h"
#include "framework/canvas.h"
#include "framework/definition_reader.h"
#include "framework/forms.h"
#include "framework/imagelist.h"
#include "framework/picture.h"
#include "imaging/gif/graphic_utils.h"

#include <QApplication>
#include <QCursor>
#include <QFontDatabase>
#include <QPainter>
#include <cmath>

namespace {

QString SpeedbarText(const char* s) { return QString::fromLatin1(s); }
const char* const DuplicateCaption = "String list does not allow duplicates";
const char* const AutoPositionOnly = "Cannot set this property value while Position is bpAuto";

bool IsSide(TAlign a) { return a == alTop || a == alBottom || a == alLeft || a == alRight; }
bool IsHorizontalSide(TAlign a) { return a == alTop || a == alBottom; }

// Halves to the even neighbour, as the platform's rounding does.
int RoundEven(double v) { return int(std::nearbyint(v)); }

// The frame shown while the bar is dragged is this many nested rectangles.
constexpr int DragFrameLines = 3;

} // namespace

// ---- TSpeedbarButton -------------------------------------------------------------------------------

TSpeedbarButton::TSpeedbarButton(TSpeedItem* item) : TRxSpeedButton(nullptr), item_(item)
{
    TControl::SetVisible(false);
    SetStyle(bsNew);
    SetParentShowHint(true);
    SetParentFont(true);
    SetBounds(0, 0, DefaultBtnWidth, DefaultBtnHeight);
}

TSpeedbarButton::~TSpeedbarButton() = default;

void TSpeedbarButton::SetBounds(int left, int top, int width, int height)
{
    if (TSpeedBar* bar = item_ ? item_->Bar() : nullptr) {
        if (bar->CurrentOrientation() == Horizontal)
            top = std::max(top, bar->BtnOffsetVert());
        else
            left = std::max(left, bar->BtnOffsetHorz());
    }
    placed_ = Bounds(left, top, width, height);
    TRxSpeedButton::SetBounds(left, top, width, height);
}

void TSpeedbarButton::SetParent(TWinControl* parent)
{
    // Without a parent the button is a window of its own, whose position means something else:
    // the place it was given comes back with the parent.
    const TRect placed = placed_;
    TRxSpeedButton::SetParent(parent);
    if (parent)
        SetBounds(placed.Left, placed.Top, placed.Width(), placed.Height());
}

int TSpeedbarButton::PlacedLeft() const { return parentWidget() ? Left() : placed_.Left; }
int TSpeedbarButton::PlacedTop() const { return parentWidget() ? Top() : placed_.Top; }

void TSpeedbarButton::DropGlyphCache()
{
    ButtonGlyph()->ReleaseImages();
    update();
}

void TSpeedbarButton::Paint()
{
    if (!isVisible() || dragHidden_)
        return;
    TRxSpeedButton::Paint();
}

void TSpeedbarButton::DrawContent(TCanvas* canvas, const TRect& rect, SpeedButtonState state, bool drawMark)
{
    TSpeedBar* bar = item_ ? item_->Bar() : nullptr;
    if (!bar) {
        TRxSpeedButton::DrawContent(canvas, rect, state, drawMark);
        return;
    }
    const TAlignment a = Alignment();
    const uint32_t flags = a == taLeftJustify ? DT_LEFT : a == taRightJustify ? DT_RIGHT : DT_CENTER;
    QString caption = Caption();
    ButtonGlyph()->DrawGlyphAndText(canvas, rect, caption, Layout(), Margin(), Spacing(), drawMark, bar->Images(),
                                    item_->ImageIndex(), state, flags);
}

void TSpeedbarButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TSpeedBar* bar = item_ ? item_->Bar() : nullptr;
    if (bar && bar->EditorWindow()) {
        if (button == mbLeft && item_->Visible()) {
            customDrag_ = true;
            bar->ButtonDragStart(this);
        }
        return;
    }
    TRxSpeedButton::MouseDown(button, shift, x, y);
}

void TSpeedbarButton::MouseMove(TShiftState shift, int x, int y)
{
    if (customDrag_) {
        if (TSpeedBar* bar = item_->Bar())
            bar->ButtonDragMove(this, ClientToScreen({x, y}));
        return;
    }
    TRxSpeedButton::MouseMove(shift, x, y);
}

void TSpeedbarButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (customDrag_) {
        customDrag_ = false;
        if (TSpeedBar* bar = item_->Bar())
            bar->ButtonDragEnd(this, ClientToScreen({x, y}));
        return;
    }
    TRxSpeedButton::MouseUp(button, shift, x, y);
}

// ---- TSpeedItem ------------------------------------------------------------------------------------

TSpeedItem::TSpeedItem(QObject* AOwner) : TComponent(AOwner)
{
    button_ = new TSpeedbarButton(this);
    button_->SetShowHint(true);
    button_->SetParentShowHint(true);
}

TSpeedItem::~TSpeedItem()
{
    SetVisible(false);
    if (bar_)
        bar_->RemoveItem(this);
    delete button_.data();
}

bool TSpeedItem::IsOwnerLoading() const
{
    QObject* owner = Owner();
    if (!owner)
        return false;
    if (auto c = qobject_cast<TComponent*>(owner))
        return c->ComponentState() & csLoading;
    if (auto f = qobject_cast<TForm*>(owner))
        return f->Loading();
    if (auto ctl = qobject_cast<TControl*>(owner))
        return ctl->IsLoading();
    return false;
}

bool TSpeedItem::AllowAllUp() const { return button_->AllowAllUp(); }
void TSpeedItem::SetAllowAllUp(bool v) { button_->SetAllowAllUp(v); }
bool TSpeedItem::AllowTimer() const { return button_->AllowTimer(); }
void TSpeedItem::SetAllowTimer(bool v) { button_->SetAllowTimer(v); }
int TSpeedItem::GroupIndex() const { return button_->GroupIndex(); }
void TSpeedItem::SetGroupIndex(int v) { button_->SetGroupIndex(v); }
bool TSpeedItem::Down() const { return button_->Down(); }
void TSpeedItem::SetDown(bool v) { button_->SetDown(v); }
TPopupMenu* TSpeedItem::DropDownMenu() const { return button_->DropDownMenu(); }
void TSpeedItem::SetDropDownMenu(TPopupMenu* m) { button_->SetDropDownMenu(m); }
bool TSpeedItem::MarkDropDown() const { return button_->MarkDropDown(); }
void TSpeedItem::SetMarkDropDown(bool v) { button_->SetMarkDropDown(v); }
TBitmap* TSpeedItem::Glyph() const { return button_->Glyph(); }
void TSpeedItem::SetGlyph(TBitmap* b) { button_->SetGlyph(b); }
int TSpeedItem::NumGlyphs() const { return button_->NumGlyphs(); }
void TSpeedItem::SetNumGlyphs(int n) { button_->SetNumGlyphs(n); }
TButtonLayout TSpeedItem::Layout() const { return button_->Layout(); }
void TSpeedItem::SetLayout(TButtonLayout l) { button_->SetLayout(l); }
int TSpeedItem::Margin() const { return button_->Margin(); }
void TSpeedItem::SetMargin(int v) { button_->SetMargin(v); }
bool TSpeedItem::WordWrap() const { return button_->WordWrap(); }
void TSpeedItem::SetWordWrap(bool v) { button_->SetWordWrap(v); }
int TSpeedItem::Spacing() const { return button_->Spacing(); }
void TSpeedItem::SetSpacing(int v) { button_->SetSpacing(v); }
QString TSpeedItem::BtnCaption() const { return button_->Caption(); }
void TSpeedItem::SetBtnCaption(const QString& c) { button_->SetCaption(c); }
TFont* TSpeedItem::Font() const { return button_->Font(); }
bool TSpeedItem::ParentFont() const { return button_->ParentFont(); }
void TSpeedItem::SetParentFont(bool v) { button_->SetParentFont(v); }
bool TSpeedItem::ShowHint() const { return button_->ShowHint(); }
void TSpeedItem::SetShowHint(bool v) { button_->SetShowHint(v); }
bool TSpeedItem::ParentShowHint() const { return button_->ParentShowHint(); }
void TSpeedItem::SetParentShowHint(bool v) { button_->SetParentShowHint(v); }
TCursor TSpeedItem::Cursor() const { return button_->Cursor(); }
void TSpeedItem::SetCursor(TCursor c) { button_->SetCursor(c); }
QString TSpeedItem::Hint() const { return button_->Hint(); }
void TSpeedItem::SetHint(const QString& h) { button_->SetHint(h); }
int TSpeedItem::Left() const { return button_->PlacedLeft(); }
void TSpeedItem::SetLeft(int v) { button_->SetBounds(v, Top(), button_->Width(), button_->Height()); }
int TSpeedItem::Top() const { return button_->PlacedTop(); }
void TSpeedItem::SetTop(int v) { button_->SetBounds(Left(), v, button_->Width(), button_->Height()); }
TNotifyEvent& TSpeedItem::OnClick() { return button_->OnClick; }
TNotifyEvent& TSpeedItem::OnDblClick() { return button_->OnDblClick; }
TMouseEvent& TSpeedItem::OnMouseDown() { return button_->OnMouseDown; }
TMouseMoveEvent& TSpeedItem::OnMouseMove() { return button_->OnMouseMove; }
TMouseEvent& TSpeedItem::OnMouseUp() { return button_->OnMouseUp; }
TNotifyEvent& TSpeedItem::OnMouseEnter() { return button_->OnMouseEnter; }
TNotifyEvent& TSpeedItem::OnMouseLeave() { return button_->OnMouseLeave; }

void TSpeedItem::SetTag(int t)
{
    tag_ = t;
    button_->SetTag(t);
}

void TSpeedItem::SetImageIndex(int i)
{
    if (i == imageIndex_)
        return;
    imageIndex_ = i;
    button_->DropGlyphCache();
}

void TSpeedItem::SetCaption(const QString& c)
{
    // The hint follows the caption unless someone gave it a short text of its own.
    const QString oldHint = Hint();
    const QString shortHint = oldHint.section(QLatin1Char('|'), 0, 0);
    const QObject* owner = Owner();
    const bool ownerIsControl = qobject_cast<const TControl*>(owner) != nullptr;
    const bool follows = !owner || !ownerIsControl || (!IsOwnerLoading() && caption_ == shortHint);
    caption_ = c;
    if (!follows)
        return;
    const int bar = oldHint.indexOf(QLatin1Char('|'));
    const QString longPart = bar >= 0 ? oldHint.mid(bar + 1) : oldHint;
    const int cbar = c.indexOf(QLatin1Char('|'));
    if (cbar >= 0) {
        if (!c.mid(cbar + 1).isEmpty())
            SetHint(c);
        else
            SetHint(c.left(cbar) + QLatin1Char('|') + longPart);
    } else if (bar >= 0) {
        SetHint(c + QLatin1Char('|') + longPart);
    } else {
        SetHint(c + QLatin1Char('|'));
    }
}

void TSpeedItem::SetName(const QString& name)
{
    const QString oldName = Name();
    const bool captionIsName = caption_ == oldName;
    const QObject* owner = Owner();
    TComponent::SetName(name);
    if (captionIsName && (!owner || !qobject_cast<const TControl*>(owner) || !IsOwnerLoading()))
        SetCaption(name);
}

void TSpeedItem::SetEnabled(bool v)
{
    if (button_->Enabled() == v && enabled_ == v)
        return;
    enabled_ = v;
    if (editing_)
        return;
    button_->SetEnabled(bar_ ? v && bar_->Enabled() : v);
}

void TSpeedItem::SetVisible(bool v)
{
    if (!button_)
        return;
    if (button_->Visible() == v && visible_ == v && (!v || button_->parentWidget()))
        return;
    visible_ = v;
    if (v)
        button_->SetParent(bar_);
    button_->SetVisible(v && (!bar_ || bar_->Visible()));
}

void TSpeedItem::SetCustomizing(bool on)
{
    editing_ = on;
    if (on) {
        button_->SetEnabled(true);
        button_->SetFlat(false);
    } else {
        button_->SetEnabled(bar_ ? enabled_ && bar_->Enabled() : enabled_);
        button_->SetFlat(bar_ && (bar_->Options() & sbFlatBtns));
    }
}

void TSpeedItem::ClickButton() { button_->Click(); }

bool TSpeedItem::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Section"), Qt::CaseInsensitive) == 0) {
        section_ = int(reader.IntegerValue(value));
        return true;
    }
    if (name.compare(QLatin1String("SectionName"), Qt::CaseInsensitive) == 0) {
        sectionName_ = reader.StringValue(value);
        return true;
    }
    // Glyph and the other pictures of the button.
    return button_->ReadDefinitionProperty(name, value, reader);
}

bool TSpeedItem::BindEvent(const QString& name, const TMethodRef& h)
{
    return button_->BindEvent(name, h);
}

void TSpeedItem::SetParentComponent(QObject* parent)
{
    auto* bar = qobject_cast<TSpeedBar*>(parent);
    if (ComponentState() & csLoading) {
        loadBar_ = bar;
        return;
    }
    if (bar_)
        bar_->RemoveItem(this);
    if (bar) {
        const int byName = sectionName_.isEmpty() ? -1 : bar->IndexOfSection(sectionName_);
        const int index = byName >= 0 ? byName : section_;
        if (index >= 0)
            bar->AddItem(index, this);
    }
}

void TSpeedItem::Loaded()
{
    TComponent::Loaded();
    if (TSpeedBar* bar = loadBar_) {
        loadBar_ = nullptr;
        if (!sectionName_.isEmpty())
            section_ = bar->IndexOfSection(sectionName_);
        bar->AddItem(std::max(section_, 0), this);
    }
}

// ---- TSpeedbarSection ------------------------------------------------------------------------------

TSpeedbarSection::TSpeedbarSection(QObject* AOwner) : TComponent(AOwner) {}

TSpeedbarSection::~TSpeedbarSection()
{
    // Each item once, even when freeing one takes others with it.
    while (!items_.empty()) {
        TSpeedItem* item = items_.back();
        items_.pop_back();
        if (item->bar_)
            item->bar_ = nullptr;
        item->section_ = -1;
        delete item;
    }
    if (bar_) {
        const int i = Index();
        if (i >= 0)
            bar_->sections_.erase(bar_->sections_.begin() + i);
        bar_ = nullptr;
    }
}

void TSpeedbarSection::SetCaption(const QString& c)
{
    if (!(ComponentState() & csLoading))
        RefuseDuplicateCaption(c);
    caption_ = c;
}

void TSpeedbarSection::RefuseDuplicateCaption(const QString& caption)
{
    if (!bar_)
        return;
    const int found = bar_->IndexOfSection(caption);
    if (found >= 0 && found != Index())
        throw ESpeedbarError(SpeedbarText(DuplicateCaption));
}

int TSpeedbarSection::Index() const
{
    if (!bar_)
        return -1;
    const auto it = std::find(bar_->sections_.begin(), bar_->sections_.end(), this);
    return it == bar_->sections_.end() ? -1 : int(it - bar_->sections_.begin());
}

void TSpeedbarSection::SetIndex(int i)
{
    const int cur = Index();
    if (cur < 0)
        return;
    i = std::clamp(i, 0, bar_->SectionCount() - 1);
    if (i == cur)
        return;
    auto& list = bar_->sections_;
    list.erase(list.begin() + cur);
    list.insert(list.begin() + i, this);
    // Items carry the index of their section.
    for (size_t s = 0; s < list.size(); ++s)
        for (TSpeedItem* item : list[s]->items_)
            item->section_ = int(s);
}

void TSpeedbarSection::MoveToBar(TSpeedBar* bar)
{
    const int index = Index();
    if (bar_)
        bar_->DetachSection(index);
    if (bar) {
        bar->AppendSection(this);
        if (index >= 0)
            SetIndex(index);
    }
}

void TSpeedbarSection::SetParentComponent(QObject* parent)
{
    auto* bar = qobject_cast<TSpeedBar*>(parent);
    if (!bar)
        throw EInvalidCast(QStringLiteral("Invalid class typecast"));
    if (ComponentState() & csLoading) {
        loadBar_ = bar;
        return;
    }
    MoveToBar(bar);
}

void TSpeedbarSection::Loaded()
{
    TComponent::Loaded();
    if (TSpeedBar* bar = loadBar_) {
        loadBar_ = nullptr;
        MoveToBar(bar);
    }
}

// ---- TSpeedBar: construction -----------------------------------------------------------------------

TSpeedBar::TSpeedBar(QWidget* parent)
    : TCustomPanel(parent), wallpaper_(std::make_unique<TPicture>()), link_(std::make_unique<TIniLink>())
{
    static const bool registered = [] {
        RegisterComponentClass<TSpeedItem>("TSpeedItem");
        RegisterComponentClass<TSpeedbarSection>("TSpeedbarSection");
        RegisterComponentClass("TSpeedbarButton", [] { return static_cast<QObject*>(new TSpeedbarButton(nullptr)); });
        return true;
    }();
    Q_UNUSED(registered);
    btnWidth_ = DefaultBtnWidth;
    btnHeight_ = DefaultBtnHeight;
    buttonStyle_ = bsNew;
    wallpaper_->OnChange = [this](TObject*) { update(); };
    link_->SaveHandler = [this](TIniLink* l) { StoreLinkSave(l); };
    link_->LoadHandler = [this](TIniLink* l) { StoreLinkLoad(l); };
    offsetH_ = offsetV_ = SmallestOffset();
    SetHeight(2 * offsetV_ + btnHeight_);
    options_ = TSpeedbarOptions(sbAllowDrag) | sbGrayedBtns;
    SetParentShowHint(false);
    SetShowHint(true);
    UseMenuFont();
    alignment_ = alTop;
    TControl::SetAlign(alTop);
    ComputeSnapSteps();
}

TSpeedBar::~TSpeedBar()
{
    DrawFrame({});
    OnVisibleChanged = nullptr;
    OnApplyAlign = nullptr;
    OnPosChanged = nullptr;
    link_.reset();
    wallpaper_.reset();
    if (editorWindow_) {
        NotifyEditor(sbcBarDestroyed, this);
        editorWindow_ = nullptr;
    }
    FreeAllSections();
}

void TSpeedBar::UseMenuFont()
{
    SetParentFont(false);
    // The desktop's menu font, as the window system reports it.
    const QFont menu = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
    if (!menu.family().isEmpty()) {
        Font()->SetName(menu.family());
        if (menu.pointSize() > 0)
            Font()->SetSize(menu.pointSize());
    } else {
        Font()->SetName(QStringLiteral("MS Sans Serif"));
        Font()->SetSize(8);
        Font()->SetStyle(0);
        Font()->SetColor(clBtnText);
    }
}

TFormPlacement* TSpeedBar::IniStorage() const { return link_ ? link_->Store() : nullptr; }
void TSpeedBar::SetIniStorage(TFormPlacement* placement) { link_->SetStore(placement); }

void TSpeedBar::SetWallpaper(TPicture* p) { wallpaper_->Assign(p); }

void TSpeedBar::SetImages(TImageList* list)
{
    if (list == images_)
        return;
    if (images_)
        RemoveFreeNotification(images_);
    images_ = list;
    if (images_) {
        FreeNotification(images_);
        // The list's change reaches the bar as long as the bar still shows it.
        QPointer<TSpeedBar> self(this);
        TNotifyEvent previous = images_->OnChange;
        images_->OnChange = [self, list, previous](TObject* sender) {
            if (previous)
                previous(sender);
            if (self && self->images_ == list)
                self->ImagesChanged();
        };
    }
    ImagesChanged();
}

void TSpeedBar::ImagesChanged()
{
    ForEachItem(
        [](TSpeedItem* item, void*) {
            item->button_->DropGlyphCache();
            if (item->ImageIndex() >= 0)
                item->button_->update();
        },
        nullptr);
}

void TSpeedBar::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomPanel::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == images_) {
        images_ = nullptr;
        ImagesChanged();
    }
}

void TSpeedBar::SetEditorWindow(QObject* window)
{
    editorWindow_ = window;
    ForEachItem([window](TSpeedItem* item, void*) { item->SetCustomizing(window != nullptr); }, nullptr);
}

void TSpeedBar::NotifyEditor(int code, QObject* subject)
{
    if (!editorWindow_)
        return;
    TSpeedbarChangedEvent e(code, subject);
    QCoreApplication::sendEvent(editorWindow_, &e);
}

bool TSpeedBar::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnApplyAlign", OnApplyAlign, h, "TObject*,TAlign,bool&")
        || BindEventTo(name, "OnPosChanged", OnPosChanged, h, "TObject*")
        || BindEventTo(name, "OnVisibleChanged", OnVisibleChanged, h, "TObject*")
        || BindEventTo(name, "OnCustomize", OnCustomize, h, "TObject*") || TCustomPanel::BindEvent(name, h);
}

void TSpeedBar::PositionChanged() { Fire(OnPosChanged, this); }
void TSpeedBar::CustomizeRequested() { Fire(OnCustomize, this); }

// ---- sections and items ------------------------------------------------------------------------------

TSpeedbarSection* TSpeedBar::SectionAt(int index) const
{
    return index >= 0 && index < SectionCount() ? sections_[size_t(index)] : nullptr;
}

int TSpeedBar::IndexOfSection(const QString& caption) const
{
    for (int i = 0; i < SectionCount(); ++i)
        if (sections_[size_t(i)] && sections_[size_t(i)]->Caption() == caption)
            return i;
    return -1;
}

int TSpeedBar::AppendSection(TSpeedbarSection* section)
{
    const QString base = section->caption_;
    QString caption = base;
    for (int n = 1; IndexOfSection(caption) >= 0; ++n)
        caption = base + QStringLiteral(" (%1)").arg(n);
    section->caption_ = caption;
    sections_.push_back(section);
    const int index = SectionCount() - 1;
    section->bar_ = this;
    for (TSpeedItem* item : section->items_) {
        item->section_ = index;
        BindItem(item, !IsLoading());
    }
    return index;
}

int TSpeedBar::CreateSection(const QString& caption)
{
    QObject* owner = Owner() ? Owner() : this;
    auto* section = new TSpeedbarSection(owner);
    section->caption_ = caption;
    return AppendSection(section);
}

void TSpeedBar::ForEachItem(const std::function<void(TSpeedItem*, void*)>& callback, void* data)
{
    if (!callback)
        return;
    // A copy: a callback may move items.
    const std::vector<TSpeedbarSection*> sections = sections_;
    for (TSpeedbarSection* s : sections) {
        if (!s)
            continue;
        const std::vector<TSpeedItem*> items = s->items_;
        for (TSpeedItem* item : items)
            if (item)
                callback(item, data);
    }
}

void TSpeedBar::BindItem(TSpeedItem* item, bool setBounds)
{
    item->bar_ = this;
    TSpeedbarButton* b = item->button_;
    if (setBounds) {
        b->placed_ = Bounds(0, 0, btnWidth_, btnHeight_);
        b->TRxSpeedButton::SetBounds(0, 0, btnWidth_, btnHeight_);
    }
    b->SetStyle(bsNew);
    b->SetFlat(options_ & sbFlatBtns);
    b->SetTransparent(options_ & sbTransparentBtns);
    b->SetGrayedInactive(options_ & sbGrayedBtns);
    item->SetCustomizing(editorWindow_ != nullptr);
}

bool TSpeedBar::LocateItem(TSpeedItem* item, int& sectionIndex, int& position) const
{
    for (int s = 0; s < SectionCount(); ++s) {
        const auto& items = sections_[size_t(s)]->items_;
        const auto it = std::find(items.begin(), items.end(), item);
        if (it != items.end()) {
            sectionIndex = s;
            position = int(it - items.begin());
            return true;
        }
    }
    return false;
}

void TSpeedBar::AddItem(int sectionIndex, TSpeedItem* item)
{
    if (!item)
        return;
    int s = -1, pos = -1;
    if (LocateItem(item, s, pos)) {
        auto& from = sections_[size_t(s)]->items_;
        from.erase(from.begin() + pos);
        const int to = std::clamp(sectionIndex, 0, SectionCount() - 1);
        sections_[size_t(to)]->items_.push_back(item);
        item->section_ = to;
        return;
    }
    if (sectionIndex < 0)
        return;
    if (AddItemHook) {
        item->section_ = sectionIndex;
        AddItemHook(item);
        sectionIndex = item->section_;
    }
    if (SectionCount() == 0)
        sectionIndex = CreateSection(QString());
    else
        sectionIndex = std::clamp(sectionIndex, 0, SectionCount() - 1);
    sections_[size_t(sectionIndex)]->items_.push_back(item);
    item->section_ = sectionIndex;
    BindItem(item, !IsLoading());
    item->button_->TControl::SetVisible(false);
    item->button_->SetParent(this);
    if (item->visible_)
        item->SetVisible(true);
}

void TSpeedBar::RemoveItem(TSpeedItem* item)
{
    int s = -1, pos = -1;
    if (!LocateItem(item, s, pos))
        return;
    if (item->button_) {
        item->button_->TControl::SetVisible(false);
        item->button_->SetParent(nullptr);
    }
    item->bar_ = nullptr;
    item->section_ = -1;
    auto& items = sections_[size_t(s)]->items_;
    items.erase(items.begin() + pos);
}

void TSpeedBar::DetachSection(int index)
{
    TSpeedbarSection* section = SectionAt(index);
    if (!section)
        return;
    const std::vector<TSpeedItem*> items = section->items_;
    for (TSpeedItem* item : items)
        RemoveItem(item);
    section->bar_ = nullptr;
    sections_.erase(sections_.begin() + index);
}

void TSpeedBar::FreeSection(int index)
{
    TSpeedbarSection* section = SectionAt(index);
    if (!section)
        return;
    while (!section->items_.empty())
        delete section->items_.back(); // removes itself from the section
    section->bar_ = nullptr;
    sections_.erase(sections_.begin() + index);
    delete section;
}

void TSpeedBar::FreeAllSections()
{
    for (int i = SectionCount() - 1; i >= 0; --i)
        FreeSection(i);
}

TSpeedItem* TSpeedBar::ItemByName(const QString& name)
{
    TSpeedItem* found = nullptr;
    ForEachItem(
        [&](TSpeedItem* item, void*) {
            if (!found && item->Name().compare(name, Qt::CaseInsensitive) == 0)
                found = item;
        },
        nullptr);
    return found;
}

// ---- layout ------------------------------------------------------------------------------------------

int TSpeedBar::SmallestOffset() const
{
    int v = (options_ & sbFlatBtns) ? 0 : 2;
    v += BorderWidth();
    if (BevelOuter() != bvNone)
        v += BevelWidth();
    if (BevelInner() != bvNone)
        v += BevelWidth();
    return v;
}

void TSpeedBar::ComputeSnapSteps()
{
    const int d = CurrentOrientation() == Horizontal ? btnWidth_ : btnHeight_;
    int step = std::max(1, std::min(8, d / 3));
    while (step < d && d % step != 0)
        ++step;
    if (step >= d && d > 1) {
        --step;
        while (step > 1 && d % step != 0)
            --step;
    }
    step = std::max(step, 1);
    if (CurrentOrientation() == Horizontal) {
        stepH_ = step;
        stepV_ = std::max(btnHeight_, 1);
    } else {
        stepV_ = step;
        stepH_ = std::max(btnWidth_, 1);
    }
}

namespace {

struct Snapped {
    int left, top;
};

Snapped SnapPoint(int left, int top, int hs, int vs, int ox, int oy, bool horizontal)
{
    if (horizontal)
        return {RoundEven(double(left - ox) / hs) * hs + ox, int((top - oy) / vs) * vs + oy};
    return {int((left - ox) / hs) * hs + ox, RoundEven(double(top - oy) / vs) * vs + oy};
}

} // namespace

void TSpeedBar::SnapAllItems()
{
    const bool horizontal = CurrentOrientation() == Horizontal;
    ForEachItem(
        [&](TSpeedItem* item, void*) {
            if (!item->Visible())
                return;
            const Snapped p = SnapPoint(item->Left(), item->Top(), stepH_, stepV_, offsetH_, offsetV_, horizontal);
            item->button_->SetBounds(p.left, p.top, btnWidth_, btnHeight_);
        },
        nullptr);
}

bool TSpeedBar::MoveItem(TSpeedItem* item, int x, int y)
{
    int s = -1, pos = -1;
    if (!LocateItem(item, s, pos))
        return false;
    const Snapped p = SnapPoint(x, y, stepH_, stepV_, offsetH_, offsetV_, CurrentOrientation() == Horizontal);
    item->button_->SetBounds(p.left, p.top, btnWidth_, btnHeight_);
    const TRect client = ClientRect();
    const bool inside = p.left >= client.Left && p.left < client.Right && p.top >= client.Top && p.top < client.Bottom;
    if (inside)
        item->button_->BringToFront();
    else
        item->button_->SendToBack();
    item->SetVisible(inside);
    return inside;
}

BarOrientation TSpeedBar::CurrentOrientation() const
{
    if (position_ == bpCustom)
        return orientation_;
    switch (alignment_) {
    case alTop:
    case alBottom: return Horizontal;
    case alLeft:
    case alRight: return Vertical;
    default: return orientation_;
    }
}

void TSpeedBar::TurnLayout(BarOrientation orientation)
{
    if (orientation == orientation_ || IsLoading())
        return;
    locked_ = true;
    try {
        orientation_ = orientation;
        std::swap(btnWidth_, btnHeight_);
        std::swap(stepH_, stepV_);
        std::swap(offsetH_, offsetV_);
        ForEachItem(
            [this](TSpeedItem* item, void*) {
                const int left = item->Left(), top = item->Top();
                item->button_->placed_ = Bounds(top, left, btnWidth_, btnHeight_);
                item->button_->TRxSpeedButton::SetBounds(top, left, btnWidth_, btnHeight_);
            },
            nullptr);
    } catch (...) {
        locked_ = false;
        update();
        throw;
    }
    locked_ = false;
    update();
    NotifyEditor(sbcSizeChanged, this);
}

void TSpeedBar::ApplyButtonSize()
{
    ForEachItem([this](TSpeedItem* item, void*) { item->button_->SetBounds(item->Left(), item->Top(), btnWidth_, btnHeight_); },
                nullptr);
}

void TSpeedBar::ShiftButtons(int dx, int dy)
{
    if (dx == 0 && dy == 0)
        return;
    ForEachItem([&](TSpeedItem* item, void*) {
        item->button_->SetBounds(item->Left() + dx, item->Top() + dy, btnWidth_, btnHeight_);
    }, nullptr);
}

// A new button size: the snap grid follows and the bar grows across to hold a button.
void TSpeedBar::ButtonSizeChanged()
{
    ComputeSnapSteps();
    if (!IsLoading()) {
        if (CurrentOrientation() == Horizontal)
            SetClientHeight(std::max(ClientHeight(), 2 * offsetV_ + btnHeight_));
        else
            SetClientWidth(std::max(ClientWidth(), 2 * offsetH_ + btnWidth_));
    }
    ApplyButtonSize();
}

void TSpeedBar::SetBtnWidth(int v)
{
    btnWidth_ = v;
    scaledFlags_ |= 4;
    ButtonSizeChanged();
}

void TSpeedBar::SetBtnHeight(int v)
{
    btnHeight_ = v;
    scaledFlags_ |= 8;
    ButtonSizeChanged();
}

void TSpeedBar::SetBtnOffsetHorz(int v)
{
    v = std::max(v, SmallestOffset());
    const int old = offsetH_;
    offsetH_ = v;
    scaledFlags_ |= 1;
    ShiftButtons(v - old, 0);
}

void TSpeedBar::SetBtnOffsetVert(int v)
{
    v = std::max(v, SmallestOffset());
    const int old = offsetV_;
    offsetV_ = v;
    scaledFlags_ |= 2;
    ShiftButtons(0, v - old);
}

void TSpeedBar::SetBoundLines(TBoundLines b)
{
    if (b == boundLines_)
        return;
    boundLines_ = b;
    Realign();
    update();
}

void TSpeedBar::SetOptions(TSpeedbarOptions o)
{
    if (o == options_)
        return;
    const bool flatChanged = (o & sbFlatBtns) != (options_ & sbFlatBtns);
    options_ = o;
    ForEachItem(
        [this](TSpeedItem* item, void*) {
            item->button_->SetFlat(options_ & sbFlatBtns);
            item->button_->SetTransparent(options_ & sbTransparentBtns);
            item->button_->SetGrayedInactive(options_ & sbGrayedBtns);
        },
        nullptr);
    ComputeSnapSteps();
    if (flatChanged)
        Realign();
    update();
}

void TSpeedBar::AlignControls(TControl* control, TRect& rect)
{
    if (boundLines_ & blTop)
        rect.Top += 2;
    if (boundLines_ & blBottom)
        rect.Bottom -= 2;
    if (boundLines_ & blLeft)
        rect.Left += 2;
    if (boundLines_ & blRight)
        rect.Right -= 2;
    TCustomPanel::AlignControls(control, rect);
    const int smallest = SmallestOffset();
    const int dx = std::max(smallest - offsetH_, 0), dy = std::max(smallest - offsetV_, 0);
    offsetH_ += dx;
    offsetV_ += dy;
    if (!IsLoading())
        ShiftButtons(dx, dy);
}

void TSpeedBar::SetAlign(TAlign a)
{
    if (IsLoading() && a == alNone && position_ == bpAuto)
        alNoneRead_ = true;
    if (a == alignment_)
        return;
    if (position_ == bpAuto && (a == alNone || a == alClient))
        throw ESpeedbarError(SpeedbarText(AutoPositionOnly));
    if (position_ == bpAuto && a == alCustom && !IsLoading())
        throw ESpeedbarError(SpeedbarText(AutoPositionOnly));
    const int w = Width(), h = Height();
    // Turning between a horizontal and a vertical side keeps the bar's thickness; the parent
    // aligns once, with the new side.
    TWinControl* parent = Parent();
    if (parent)
        parent->DisableAlign();
    try {
        if (IsSide(a) && IsSide(alignment_) && IsHorizontalSide(a) != IsHorizontalSide(alignment_) && !IsLoading())
            SetBounds(Left(), Top(), h, w);
        TControl::SetAlign(a);
        if (IsLoading())
            SetBounds(Left(), Top(), w, h);
    } catch (...) {
        if (parent)
            parent->EnableAlign();
        throw;
    }
    if (parent)
        parent->EnableAlign();
    alignment_ = TControl::Align();
    if (position_ == bpAuto) {
        if (a == alTop || a == alBottom)
            TurnLayout(Horizontal);
        else if (a == alLeft || a == alRight)
            TurnLayout(Vertical);
    }
}

void TSpeedBar::Loaded()
{
    TCustomPanel::Loaded();
    if (internalVer_ == 0 && alNoneRead_) {
        TControl::SetAlign(alTop);
        alignment_ = alTop;
    }
    orientation_ = CurrentOrientation();
    ComputeSnapSteps();
    ForEachItem(
        [this](TSpeedItem* item, void*) {
            item->button_->SetBounds(item->Left(), item->Top(), btnWidth_, btnHeight_);
            const bool v = item->visible_;
            item->visible_ = !v;
            item->SetVisible(v);
        },
        nullptr);
    scaledFlags_ = 0;
}

void TSpeedBar::ChangeScale(int m, int d)
{
    if (d == 0 || m == d)
        return;
    DisableAlign();
    const bool all = !IsLoading();
    auto scale = [&](int v) { return int(int64_t(v) * m / d); };
    if (all || (scaledFlags_ & 4))
        btnWidth_ = scale(btnWidth_);
    if (all || (scaledFlags_ & 8))
        btnHeight_ = scale(btnHeight_);
    if (all || (scaledFlags_ & 1))
        offsetH_ = scale(offsetH_);
    if (all || (scaledFlags_ & 2))
        offsetV_ = scale(offsetV_);
    ComputeSnapSteps();
    SetBounds(scale(Left()), scale(Top()), scale(Width()), scale(Height()));
    ApplyButtonSize();
    SnapAllItems();
    EnableAlign();
    scaledFlags_ = 0;
}

// ---- painting, visibility, enabling ------------------------------------------------------------------------

void TSpeedBar::Paint()
{
    if (locked_)
        return;
    int b = BorderWidth();
    if (BevelOuter() != bvNone)
        b += BevelWidth();
    if (BevelInner() != bvNone)
        b += BevelWidth();
    const TRect client = ClientRect();
    const TRect inner = Rect(client.Left + b, client.Top + b, client.Right - b, client.Bottom - b);
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(client);
    TCustomPanel::Paint();
    TGraphic* g = wallpaper_->Graphic();
    if (g && wallpaper_->Width() > 0 && wallpaper_->Height() > 0) {
        QPainter* p = c->Handle();
        p->save();
        try {
            p->setClipRect(QRect(inner.Left, inner.Top, inner.Width(), inner.Height()));
            if (options_ & sbStretchBitmap) {
                c->StretchDraw(inner, g);
            } else {
                const int w = wallpaper_->Width(), h = wallpaper_->Height();
                for (int col = 0; col <= (client.Width() - 2 * b) / w; ++col)
                    for (int row = 0; row <= (client.Height() - 2 * b) / h; ++row)
                        c->Draw(inner.Left + col * w, inner.Top + row * h, g);
            }
        } catch (...) {
            p->restore();
            throw;
        }
        p->restore();
    }
    // Bound lines: shadow, then highlight, each up to but not including its end point.
    const int l = inner.Left, t = inner.Top, r = inner.Right, bt = inner.Bottom;
    auto line = [c](TColor color, int x1, int y1, int x2, int y2) {
        c->Pen()->SetColor(color);
        c->MoveTo(x1, y1);
        c->LineTo(x2, y2);
    };
    if (boundLines_ & blTop) {
        line(clBtnShadow, l, t, r, t);
        line(clBtnHighlight, l, t + 1, r, t + 1);
    }
    if (boundLines_ & blLeft) {
        line(clBtnShadow, l, t, l, bt);
        line(clBtnHighlight, l + 1, (boundLines_ & blTop) ? t + 1 : t, l + 1, bt);
    }
    if (boundLines_ & blBottom) {
        line(clBtnShadow, l, bt - 2, r, bt - 2);
        line(clBtnHighlight, l, bt - 1, r, bt - 1);
    }
    if (boundLines_ & blRight) {
        line(clBtnShadow, r - 2, t, r - 2, (boundLines_ & blBottom) ? bt - 1 : bt);
        line(clBtnHighlight, r - 1, t, r - 1, bt);
    }
}

void TSpeedBar::SetVisible(bool v)
{
    const bool changed = v != Visible();
    TCustomPanel::SetVisible(v);
    if (!changed || IsLoading())
        return;
    ForEachItem(
        [this, v](TSpeedItem* item, void*) {
            const bool show = item->Visible() && v;
            if (show && item->button_->parentWidget() != this)
                item->button_->SetParent(this);
            item->button_->SetVisible(show);
        },
        nullptr);
    Fire(OnVisibleChanged, this);
}

void TSpeedBar::EnabledChanged()
{
    TCustomPanel::EnabledChanged();
    if (IsLoading())
        return;
    ForEachItem(
        [this](TSpeedItem* item, void*) {
            if (!item->Customizing())
                item->button_->SetEnabled(item->Enabled() && Enabled());
        },
        nullptr);
}

// ---- window definitions --------------------------------------------------------------------------------

bool TSpeedBar::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    const QString n = name.toLower();
    if (n == QLatin1String("sections")) {
        for (const QString& caption : reader.StringListValue(value))
            if (IndexOfSection(caption) < 0)
                CreateSection(caption);
        return true;
    }
    if (n == QLatin1String("newstyle")) {
        reader.BoolValue(value);
        return true;
    }
    if (n == QLatin1String("internalver")) {
        internalVer_ = int(reader.IntegerValue(value));
        return true;
    }
    if (n == QLatin1String("allowdrag")) {
        if (reader.BoolValue(value))
            options_ |= sbAllowDrag;
        else
            options_ &= ~TSpeedbarOptions(sbAllowDrag);
        return true;
    }
    return TCustomPanel::ReadDefinitionProperty(name, value, reader);
}

bool TSpeedBar::InsertDefinitionChild(QObject* child)
{
    if (auto section = qobject_cast<TSpeedbarSection*>(child)) {
        section->SetParentComponent(this);
        return true;
    }
    if (auto item = qobject_cast<TSpeedItem*>(child)) {
        item->SetParentComponent(this);
        return true;
    }
    return TCustomPanel::InsertDefinitionChild(child);
}

// ---- dragging the bar to another side --------------------------------------------------------------------

void TSpeedBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPanel::MouseDown(button, shift, x, y);
    if (button != mbLeft)
        return;
    if (editorWindow_ && (options_ & sbAllowResize) && ResizeGripAt(x, y)) {
        resizing_ = true;
        return;
    }
    if (Parent() && (options_ & sbAllowDrag) && IsSide(alignment_)) {
        pressed_ = true;
        pressPoint_ = {x, y};
    }
}

void TSpeedBar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomPanel::MouseMove(shift, x, y);
    if (resizing_) {
        ResizeTo(x, y);
        return;
    }
    if (editorWindow_ && (options_ & sbAllowResize) && !(shift & ssLeft)) {
        if (ResizeGripAt(x, y))
            setCursor(CursorShape(IsHorizontalSide(alignment_) ? crSizeNS : crSizeWE));
        else
            setCursor(CursorShape(Cursor()));
    }
    if (!pressed_ || !(shift & ssLeft))
        return;
    if (!dragging_) {
        if (std::abs(x - pressPoint_.X) > 4 || std::abs(y - pressPoint_.Y) > 4)
            BeginBarDrag();
        else
            return;
    }
    TrackBarDrag(ClientToScreen({x, y}));
}

void TSpeedBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomPanel::MouseUp(button, shift, x, y);
    if (button != mbLeft)
        return;
    if (resizing_) {
        resizing_ = false;
        setCursor(CursorShape(Cursor()));
        return;
    }
    if (dragging_)
        FinishBarDrag(ClientToScreen({x, y}));
    pressed_ = false;
}

void TSpeedBar::DrawFrame(const TRect& r)
{
    // The frame moves by drawing it again where it was, which takes it away, and then at r.
    if (shownFrame_.Right > shownFrame_.Left && shownFrame_.Bottom > shownFrame_.Top)
        DrawScreenFocusFrame(shownFrame_, DragFrameLines);
    shownFrame_ = r;
    if (r.Right > r.Left && r.Bottom > r.Top)
        DrawScreenFocusFrame(r, DragFrameLines);
}

void TSpeedBar::BeginBarDrag()
{
    const TPoint tl = ClientToScreen({0, 0});
    dragFrame_ = Bounds(tl.X, tl.Y, Width(), Height());
    frameAlign_ = alignment_;
    DrawFrame(dragFrame_);
    setCursor(CursorShape(CursorDrag));
    dragging_ = true;
}

TAlign TSpeedBar::DropZoneAt(TPoint p)
{
    TWinControl* parent = Parent();
    const double W = parent ? parent->ClientWidth() : 1, H = parent ? parent->ClientHeight() : 1;
    const double x = p.X, y = p.Y;
    const double diag = W > 0 ? (H / W) * x : 0;
    const double anti = W > 0 ? H * (1.0 - x / W) : 0;
    if (y <= diag && y < anti)
        return alTop;
    if (y <= diag)
        return alRight;
    if (y < anti)
        return alLeft;
    return alBottom;
}

TAlign TSpeedBar::AskSide(TPoint screenPoint, bool& apply)
{
    TWinControl* parent = Parent();
    const TPoint p = parent ? parent->ScreenToClient(screenPoint) : screenPoint;
    const TAlign side = DropZoneAt(p);
    apply = true;
    if (OnApplyAlign)
        OnApplyAlign(this, side, apply);
    return side;
}

TRect TSpeedBar::DragFrameRect(TAlign side) const
{
    TWinControl* parent = Parent();
    if (!parent)
        return {};
    TRect r = parent->ClientRect();
    parent->AdjustClientRect(r);
    auto order = [](TAlign a) { return a == alTop ? 0 : a == alBottom ? 1 : a == alLeft ? 2 : a == alRight ? 3 : 4; };
    for (TControl* c : parent->ControlList()) {
        if (c == this || !c->Visible())
            continue;
        const TAlign a = c->Align();
        if (a == alNone || a == alClient || a == alCustom)
            continue;
        bool before = order(a) < order(side);
        if (a == side) {
            switch (side) {
            case alTop: before = c->Top() < Top(); break;
            case alBottom: before = c->Top() + c->Height() > Top() + Height(); break;
            case alLeft: before = c->Left() < Left(); break;
            case alRight: before = c->Left() + c->Width() > Left() + Width(); break;
            default: break;
            }
        }
        if (!before)
            continue;
        switch (a) {
        case alTop: r.Top += c->Height(); break;
        case alBottom: r.Bottom -= c->Height(); break;
        case alLeft: r.Left += c->Width(); break;
        case alRight: r.Right -= c->Width(); break;
        default: break;
        }
    }
    const int thickness = CurrentOrientation() == Horizontal ? Height() : Width();
    switch (side) {
    case alTop: r.Bottom = r.Top + thickness; break;
    case alBottom: r.Top = r.Bottom - thickness; break;
    case alLeft: r.Right = r.Left + thickness; break;
    case alRight: r.Left = r.Right - thickness; break;
    default: break;
    }
    const TPoint tl = parent->ClientToScreen({r.Left, r.Top});
    return Bounds(tl.X, tl.Y, r.Width(), r.Height());
}

void TSpeedBar::TrackBarDrag(TPoint screenPoint)
{
    bool apply = true;
    const TAlign side = AskSide(screenPoint, apply);
    if (!apply)
        return;
    const TRect frame = DragFrameRect(side);
    frameAlign_ = side;
    if (frame == dragFrame_)
        return;
    setCursor(CursorShape(CursorDrag));
    dragFrame_ = frame;
    DrawFrame(dragFrame_);
}

void TSpeedBar::FinishBarDrag(TPoint screenPoint)
{
    DrawFrame({});
    setCursor(CursorShape(Cursor()));
    dragging_ = false;
    pressed_ = false;
    if (IsSide(alignment_)) {
        bool apply = true;
        const TAlign side = AskSide(screenPoint, apply);
        TWinControl* parent = Parent();
        if (parent)
            parent->DisableAlign();
        try {
            SetAlign(apply ? side : frameAlign_);
        } catch (...) {
            if (parent)
                parent->EnableAlign();
            throw;
        }
        if (parent)
            parent->EnableAlign();
        PositionChanged();
    }
}
