#include "framework/combo_box.h"

#include "framework/application.h"
#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/string_list.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyleOptionComboBox>
#include <QStylePainter>

namespace {

// The Qt combo box with the framework's hooks: drop-down and close-up, and the owner-drawn field.
class FieldCombo : public QComboBox {
public:
    explicit FieldCombo(TCustomComboBox* owner) : owner_(owner) {}
    bool OwnerDrawn = false;
    // Set while the edit takes Enter or loses the focus: Qt then activates a matching item,
    // which is no choice from the list.
    bool EditCommitting = false;

    void showPopup() override
    {
        owner_->DropDown();
        QComboBox::showPopup();
    }
    void hidePopup() override
    {
        QComboBox::hidePopup();
        owner_->CloseUp();
    }

protected:
    void keyPressEvent(QKeyEvent* e) override
    {
        const bool commit = e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
        QScopedValueRollback<bool> guard(EditCommitting, EditCommitting || commit);
        QComboBox::keyPressEvent(e);
    }
    void focusOutEvent(QFocusEvent* e) override
    {
        QScopedValueRollback<bool> guard(EditCommitting, true);
        QComboBox::focusOutEvent(e);
    }
    void paintEvent(QPaintEvent* e) override
    {
        if (!OwnerDrawn || isEditable()) {
            QComboBox::paintEvent(e);
            return;
        }
        QStylePainter p(this);
        QStyleOptionComboBox opt;
        initStyleOption(&opt);
        opt.currentText.clear();
        p.drawComplexControl(QStyle::CC_ComboBox, opt);
        const QRect field = style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, this);
        owner_->PaintField(&p, field);
    }

private:
    TCustomComboBox* owner_;
};

} // namespace

TCustomComboBox::TCustomComboBox(QWidget* parent)
    : TWinControl(parent), combo_(new FieldCombo(this)), items_(std::make_unique<TStringList>())
{
    delegate_ = new TOwnerDrawDelegate(
        combo_,
        [this](QPainter* p, int index, const QRect& r, TOwnerDrawState state) {
            WithItemCanvas(this, p, state, [&](TCanvas*) {
                DrawItem(index, Bounds(r.x(), r.y(), r.width(), r.height()), state);
            });
        },
        [this](int index) {
            int h = itemHeight_;
            if (style_ == csOwnerDrawVariable)
                MeasureItem(index, h);
            return h;
        });
    combo_->setItemDelegate(delegate_);
    SetInnerWidget(combo_);
    SetBounds(0, 0, 145, 21);
    SetTabStop(true);
    SetParentFont(true);
    SetColor(clWindow);
    SetStyle(csDropDown);
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
    // Typed text stays out of the list, as the framework's combo keeps it.
    combo_->setInsertPolicy(QComboBox::NoInsert);
    connect(combo_, QOverload<int>::of(&QComboBox::activated), this, [this](int) {
        if (syncing_ || static_cast<FieldCombo*>(combo_)->EditCommitting)
            return;
        RunGuarded(
            [this] {
                Select();
                Change();
            },
            this);
    });
    connect(combo_, &QComboBox::editTextChanged, this, [this](const QString&) {
        if (!syncing_ && combo_->lineEdit() && combo_->lineEdit()->hasFocus())
            RunGuarded([this] { Change(); }, this);
    });
}

TCustomComboBox::~TCustomComboBox() { items_->OnChange = nullptr; }

TStrings* TCustomComboBox::Items() const { return items_.get(); }

void TCustomComboBox::ItemsChanged()
{
    const QString text = combo_->currentText();
    const int index = combo_->currentIndex();
    syncing_ = true;
    combo_->clear();
    for (int i = 0; i < items_->Count(); ++i)
        combo_->addItem(items_->Strings(i));
    // The framework keeps the edit's text when the list changes and selects nothing.
    if (combo_->isEditable()) {
        combo_->setCurrentIndex(-1);
        combo_->setEditText(text);
    } else {
        combo_->setCurrentIndex(index < combo_->count() ? index : -1);
    }
    syncing_ = false;
}

void TCustomComboBox::SetStyle(TComboBoxStyle s)
{
    style_ = s;
    const bool editable = s == csDropDown || s == csSimple;
    syncing_ = true;
    combo_->setEditable(editable);
    if (editable && combo_->lineEdit() && maxLength_ > 0)
        combo_->lineEdit()->setMaxLength(maxLength_);
    syncing_ = false;
    const bool ownerDrawn = s == csOwnerDrawFixed || s == csOwnerDrawVariable;
    delegate_->Active = ownerDrawn;
    static_cast<FieldCombo*>(combo_)->OwnerDrawn = ownerDrawn;
    combo_->update();
}

int TCustomComboBox::ItemIndex() const { return combo_->currentIndex(); }

void TCustomComboBox::Loaded()
{
    TWinControl::Loaded();
    // The definition sets ItemIndex before Items; it takes effect once both are there.
    const int i = pendingIndex_;
    pendingIndex_ = -2;
    if (i != -2)
        ApplyItemIndex(i);
}

void TCustomComboBox::SetItemIndex(int i)
{
    if (IsLoading()) {
        pendingIndex_ = i;
        return;
    }
    ApplyItemIndex(i);
}

void TCustomComboBox::ApplyItemIndex(int i)
{
    syncing_ = true;
    combo_->setCurrentIndex(i >= 0 && i < combo_->count() ? i : -1);
    if (i < 0 && combo_->isEditable())
        combo_->setEditText(QString());
    syncing_ = false;
}

void TCustomComboBox::SetItemHeight(int h)
{
    if (h > 0)
        itemHeight_ = h;
}

int TCustomComboBox::DropDownCount() const { return combo_->maxVisibleItems(); }
void TCustomComboBox::SetDropDownCount(int n) { combo_->setMaxVisibleItems(std::max(1, n)); }
bool TCustomComboBox::Sorted() const { return items_->Sorted(); }
void TCustomComboBox::SetSorted(bool v) { items_->SetSorted(v); }

void TCustomComboBox::SetMaxLength(int n)
{
    maxLength_ = std::max(0, n);
    if (combo_->lineEdit())
        combo_->lineEdit()->setMaxLength(maxLength_ > 0 ? maxLength_ : 32767);
}

bool TCustomComboBox::DroppedDown() const { return combo_->view() && combo_->view()->isVisible(); }

void TCustomComboBox::SetDroppedDown(bool v)
{
    if (v)
        combo_->showPopup();
    else
        combo_->hidePopup();
}

void TCustomComboBox::Clear()
{
    items_->Clear();
    SetItemIndex(-1);
}

QString TCustomComboBox::GetText() const { return combo_->currentText(); }

void TCustomComboBox::TextChanged()
{
    const QString t = TWinControl::GetText();
    syncing_ = true;
    if (combo_->isEditable()) {
        combo_->setEditText(t);
    } else {
        // A fixed list shows the text only when it names an item.
        combo_->setCurrentIndex(combo_->findText(t, Qt::MatchFixedString));
    }
    syncing_ = false;
}

void TCustomComboBox::ColorChanged()
{
    QPalette pal = combo_->palette();
    pal.setColor(QPalette::Base, QtColor());
    combo_->setPalette(pal);
    TWinControl::ColorChanged();
}

void TCustomComboBox::Change() { Fire(OnChange, this); }
void TCustomComboBox::Select() { Fire(OnSelect, this); }
void TCustomComboBox::DropDown() { Fire(OnDropDown, this); }
void TCustomComboBox::CloseUp() { Fire(OnCloseUp, this); }

void TCustomComboBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    if (OnDrawItem)
        Fire(OnDrawItem, this, index, rect, state);
    else if (index >= 0 && index < items_->Count())
        DrawDefaultItem(Canvas(), rect, items_->Strings(index));
}

void TCustomComboBox::MeasureItem(int index, int& height)
{
    if (OnMeasureItem)
        Fire(OnMeasureItem, this, index, height);
}

void TCustomComboBox::PaintField(QPainter* painter, const QRect& r)
{
    const TOwnerDrawState state = TOwnerDrawState(odComboBoxEdit) | (combo_->hasFocus() ? TOwnerDrawState(odSelected | odFocused) : TOwnerDrawState());
    WithItemCanvas(this, painter, state, [&](TCanvas*) {
        DrawItem(combo_->currentIndex(), Bounds(r.x(), r.y(), r.width(), r.height()), state);
    });
}

bool TCustomComboBox::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnChange", OnChange, h, "TObject*")
        || BindEventTo(name, "OnSelect", OnSelect, h, "TObject*")
        || BindEventTo(name, "OnDropDown", OnDropDown, h, "TObject*")
        || BindEventTo(name, "OnCloseUp", OnCloseUp, h, "TObject*")
        || BindEventTo(name, "OnDrawItem", OnDrawItem, h, "TWinControl*,int,TRect,TOwnerDrawState")
        || BindEventTo(name, "OnMeasureItem", OnMeasureItem, h, "TWinControl*,int,int&")
        || TWinControl::BindEvent(name, h);
}

bool TCustomComboBox::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Items.Strings"), Qt::CaseInsensitive) == 0) {
        items_->SetStrings(reader.StringListValue(value));
        return true;
    }
    return TWinControl::ReadDefinitionProperty(name, value, reader);
}
