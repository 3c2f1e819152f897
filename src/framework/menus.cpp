#include "framework/menus.h"

#include "framework/application.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"

#include <QAction>
#include <QActionGroup>
#include <QIcon>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

// ---------------------------------------------------------------------------------------------
// Shortcuts

TShortCut ShortCut(WORD key, TShiftState shift)
{
    TShortCut s = key;
    if (shift & ssShift)
        s |= scShift;
    if (shift & ssCtrl)
        s |= scCtrl;
    if (shift & ssAlt)
        s |= scAlt;
    return s;
}

void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift)
{
    key = WORD(shortCut & 0xFF);
    shift = {};
    if (shortCut & scShift)
        shift |= ssShift;
    if (shortCut & scCtrl)
        shift |= ssCtrl;
    if (shortCut & scAlt)
        shift |= ssAlt;
}

namespace {

struct KeyName {
    WORD key;
    const char* name;
};

const KeyName KeyNames[] = {
    {8, "BkSp"}, {9, "Tab"}, {13, "Enter"}, {27, "Esc"}, {32, "Space"}, {33, "PgUp"}, {34, "PgDn"},
    {35, "End"}, {36, "Home"}, {37, "Left"}, {38, "Up"}, {39, "Right"}, {40, "Down"}, {45, "Ins"},
    {46, "Del"},
};

QString KeyToText(WORD key)
{
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z'))
        return QString(QChar(key));
    if (key >= 112 && key <= 135)
        return QStringLiteral("F%1").arg(key - 111);
    for (const KeyName& k : KeyNames)
        if (k.key == key)
            return QString::fromLatin1(k.name);
    switch (key) {
    case 187: return QStringLiteral("=");
    case 189: return QStringLiteral("-");
    case 188: return QStringLiteral(",");
    case 190: return QStringLiteral(".");
    case 191: return QStringLiteral("/");
    case 107: return QStringLiteral("Num +");
    case 109: return QStringLiteral("Num -");
    default: return {};
    }
}

} // namespace

QString ShortCutToText(TShortCut shortCut)
{
    WORD key;
    TShiftState shift;
    ShortCutToKey(shortCut, key, shift);
    const QString name = KeyToText(key);
    if (name.isEmpty())
        return {};
    QString out;
    if (shift & ssShift)
        out += QStringLiteral("Shift+");
    if (shift & ssCtrl)
        out += QStringLiteral("Ctrl+");
    if (shift & ssAlt)
        out += QStringLiteral("Alt+");
    return out + name;
}

TShortCut TextToShortCut(const QString& text)
{
    QString rest = text.trimmed();
    TShortCut mods = 0;
    for (;;) {
        if (rest.startsWith(QLatin1String("Shift+"), Qt::CaseInsensitive)) {
            mods |= scShift;
            rest = rest.mid(6);
        } else if (rest.startsWith(QLatin1String("Ctrl+"), Qt::CaseInsensitive)) {
            mods |= scCtrl;
            rest = rest.mid(5);
        } else if (rest.startsWith(QLatin1String("Alt+"), Qt::CaseInsensitive)) {
            mods |= scAlt;
            rest = rest.mid(4);
        } else {
            break;
        }
    }
    for (int k = 1; k < 256; ++k)
        if (const QString n = KeyToText(WORD(k)); !n.isEmpty() && n.compare(rest, Qt::CaseInsensitive) == 0)
            return mods | k;
    return 0;
}

QKeySequence ShortCutToKeySequence(TShortCut shortCut)
{
    WORD key;
    TShiftState shift;
    ShortCutToKey(shortCut, key, shift);
    const int qk = VirtualKeyToQtKey(key);
    if (qk == 0)
        return {};
    int combined = qk;
    if (shift & ssShift)
        combined |= Qt::SHIFT;
    if (shift & ssCtrl)
        combined |= Qt::CTRL;
    if (shift & ssAlt)
        combined |= Qt::ALT;
    return QKeySequence(combined);
}

QString StripHotkey(const QString& caption)
{
    QString out;
    for (int i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&')) {
            if (i + 1 < caption.size() && caption[i + 1] == QLatin1Char('&')) {
                out += QLatin1Char('&');
                ++i;
            }
            continue;
        }
        out += caption[i];
    }
    return out;
}

// ---------------------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(QObject* owner) : TComponent(owner) {}

TMenuItem::~TMenuItem()
{
    if (parentItem_)
        parentItem_->items_.removeAll(this);
    for (TMenuItem* i : items_)
        i->parentItem_ = nullptr;
    delete action_;
    delete subMenu_;
    delete bitmap_;
}

void TMenuItem::SetCaption(const QString& c)
{
    if (c == caption_)
        return;
    caption_ = c;
    Changed();
}

void TMenuItem::SetChecked(bool v)
{
    if (v && radioItem_ && parentItem_) {
        // Checking a radio item clears the others of its group among its siblings.
        for (TMenuItem* sib : parentItem_->items_)
            if (sib != this && sib->radioItem_ && sib->groupIndex_ == groupIndex_ && sib->checked_) {
                sib->checked_ = false;
                sib->UpdateAction();
            }
    }
    checked_ = v;
    UpdateAction();
}

void TMenuItem::SetEnabled(bool v)
{
    enabled_ = v;
    UpdateAction();
}

void TMenuItem::SetVisible(bool v)
{
    visible_ = v;
    UpdateAction();
}

void TMenuItem::SetRadioItem(bool v)
{
    radioItem_ = v;
    UpdateAction();
}

void TMenuItem::SetDefault(bool v)
{
    default_ = v;
    UpdateAction();
}

void TMenuItem::SetShortCut(TShortCut s)
{
    shortCut_ = s;
    UpdateAction();
}

void TMenuItem::SetImageIndex(int i)
{
    imageIndex_ = i;
    UpdateAction();
}

QIcon TMenuItem::Bitmap() const { return bitmap_ ? *bitmap_ : QIcon(); }

void TMenuItem::SetBitmap(const QIcon& icon)
{
    if (!bitmap_)
        bitmap_ = new QIcon;
    *bitmap_ = icon;
    UpdateAction();
}

TMenuItem* TMenuItem::Items(int index) const
{
    if (index < 0 || index >= items_.size())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return items_[index];
}

void TMenuItem::Add(TMenuItem* item) { Insert(int(items_.size()), item); }

void TMenuItem::Insert(int index, TMenuItem* item)
{
    if (!item)
        return;
    if (item->parentItem_)
        item->parentItem_->Remove(item);
    index = std::clamp(index, 0, int(items_.size()));
    items_.insert(index, item);
    item->parentItem_ = this;
    if (!item->parent())
        item->setParent(this);
    Changed();
}

void TMenuItem::Remove(TMenuItem* item)
{
    if (items_.removeAll(item) > 0) {
        item->parentItem_ = nullptr;
        Changed();
    }
}

void TMenuItem::Delete(int index)
{
    TMenuItem* i = Items(index);
    Remove(i);
    delete i;
}

void TMenuItem::Clear()
{
    while (!items_.isEmpty())
        Delete(int(items_.size()) - 1);
}

int TMenuItem::IndexOf(TMenuItem* item) const { return int(items_.indexOf(item)); }

int TMenuItem::MenuIndex() const { return parentItem_ ? parentItem_->IndexOf(const_cast<TMenuItem*>(this)) : -1; }

TMenu* TMenuItem::GetParentMenu() const
{
    const TMenuItem* i = this;
    while (i->parentItem_)
        i = i->parentItem_;
    return qobject_cast<TMenu*>(i->parent());
}

TMenuItem* TMenuItem::FindByShortCut(TShortCut s) const
{
    for (TMenuItem* i : items_) {
        if (i->shortCut_ == s && s != 0)
            return i;
        if (TMenuItem* found = i->FindByShortCut(s))
            return found;
    }
    return nullptr;
}

void TMenuItem::Click()
{
    if (!enabled_)
        return;
    if (autoCheck_)
        SetChecked(!checked_);
    TMenu* menu = GetParentMenu();
    const bool loading = [&] {
        for (QObject* o = menu ? static_cast<QObject*>(menu) : this; o; o = o->parent())
            if (auto c = qobject_cast<TControl*>(o))
                return c->IsLoading();
        return false;
    }();
    if (OnClick && !loading)
        RunGuarded([&] { OnClick(this); }, this);
}

QAction* TMenuItem::Action()
{
    if (!action_) {
        action_ = new QAction(this);
        action_->setShortcutContext(Qt::WindowShortcut);
        connect(action_, &QAction::triggered, this, [this] {
            RunGuarded([this] { Click(); }, this);
            // Qt toggles a checkable action by itself; the item's own state decides.
            UpdateAction();
        });
        UpdateAction();
    }
    return action_;
}

void TMenuItem::UpdateAction()
{
    if (!action_)
        return;
    // A line's "-" is its marker, not a text: styles that show a separator's text would print it.
    action_->setText(IsLine() ? QString() : caption_);
    action_->setSeparator(IsLine());
    action_->setCheckable(checked_ || radioItem_ || autoCheck_);
    action_->setChecked(checked_);
    action_->setEnabled(enabled_);
    action_->setVisible(visible_);
    action_->setShortcut(ShortCutToKeySequence(shortCut_));
    action_->setIcon(Bitmap());
    QFont f = action_->font();
    f.setBold(default_);
    action_->setFont(f);
    if (!items_.isEmpty())
        action_->setMenu(SubMenu());
    else
        action_->setMenu(nullptr);
}

QMenu* TMenuItem::SubMenu()
{
    if (!subMenu_) {
        subMenu_ = new QMenu;
        connect(subMenu_, &QMenu::aboutToShow, this, [this] {
            if (subMenuStale_)
                RebuildSubMenu();
        });
    }
    if (subMenuStale_)
        RebuildSubMenu();
    return subMenu_;
}

void TMenuItem::RebuildSubMenu()
{
    subMenuStale_ = false;
    subMenu_->clear();
    subMenu_->setTitle(caption_);
    for (TMenuItem* i : items_)
        subMenu_->addAction(i->Action());
}

void TMenuItem::Changed()
{
    subMenuStale_ = true;
    if (subMenu_ && subMenu_->isVisible())
        RebuildSubMenu();
    UpdateAction();
    if (parentItem_)
        parentItem_->Changed();
    else if (auto m = qobject_cast<TMenu*>(parent()))
        m->MenuChanged();
}

bool TMenuItem::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Bitmap"), Qt::CaseInsensitive) == 0) {
        SetBitmap(QIcon(reader.AssetPath(reader.StringValue(value))));
        return true;
    }
    return false;
}

bool TMenuItem::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnClick", OnClick, h, "TObject*")
        || BindEventTo(name, "OnDrawItem", OnDrawItem, h, "TObject*,TCanvas*,TRect,bool")
        || BindEventTo(name, "OnMeasureItem", OnMeasureItem, h, "TObject*,TCanvas*,int&,int&");
}

bool TMenuItem::InsertDefinitionChild(QObject* child)
{
    auto item = qobject_cast<TMenuItem*>(child);
    if (!item)
        return false;
    item->setParent(this);
    Add(item);
    return true;
}

// ---------------------------------------------------------------------------------------------
// TMenu

TMenu::TMenu(QObject* owner) : TComponent(owner), items_(new TMenuItem(this)) {}

bool TMenu::IsShortCut(WORD key, TShiftState shift)
{
    const TShortCut s = ShortCut(key, shift & (TShiftState(ssShift) | ssCtrl | ssAlt));
    TMenuItem* item = items_->FindByShortCut(s);
    if (!item)
        return false;
    for (TMenuItem* i = item; i; i = i->Parent())
        if (!i->Enabled() || !i->Visible())
            return false;
    item->Click();
    return true;
}

void TMenu::MenuChanged()
{
    if (OnChange)
        RunGuarded([&] { OnChange(this); }, this);
}

bool TMenu::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Images"), Qt::CaseInsensitive) == 0) {
        reader.ResolveReference(value, this, [this](QObject* target) {
            SetImages(target);
            return true;
        });
        return true;
    }
    return false;
}

bool TMenu::InsertDefinitionChild(QObject* child)
{
    auto item = qobject_cast<TMenuItem*>(child);
    if (!item)
        return false;
    item->setParent(items_);
    items_->Add(item);
    return true;
}

TMainMenu::TMainMenu(QObject* owner) : TMenu(owner) {}

void TMainMenu::BuildMenuBar(QMenuBar* bar)
{
    bar_ = bar;
    bar->clear();
    for (int i = 0; i < Items()->Count(); ++i)
        bar->addAction(Items()->Items(i)->Action());
}

void TMainMenu::MenuChanged()
{
    if (bar_)
        BuildMenuBar(bar_);
    TMenu::MenuChanged();
}

TPopupMenu::TPopupMenu(QObject* owner) : TMenu(owner) {}
TPopupMenu::~TPopupMenu() = default;

QMenu* TPopupMenu::PopupQMenu() { return Items()->SubMenu(); }

void TPopupMenu::Popup(int x, int y)
{
    if (OnPopup)
        RunGuarded([&] { OnPopup(this); }, this);
    PopupQMenu()->popup(QPoint(x, y));
}

bool TPopupMenu::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnPopup", OnPopup, h, "TObject*") || TMenu::BindEvent(name, h);
}
