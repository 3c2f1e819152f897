#include "framework/group_box.h"

#include "framework/canvas.h"
#include "framework/check_box.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/string_list.h"

#include <QFontMetrics>
#include <QPainter>

TCustomGroupBox::TCustomGroupBox(QWidget* parent) : TCustomControl(parent)
{
    SetBounds(0, 0, 185, 105);
    SetParentFont(true);
    SetParentColor(true);
}

void TCustomGroupBox::AdjustClientRect(TRect& rect) const
{
    TCustomControl::AdjustClientRect(rect);
    const int h = QFontMetrics(Font()->ToQFont()).height();
    rect.Top += h;
    InflateRect(rect, -1, -1);
}

void TCustomGroupBox::TextChanged() { update(); }

void TCustomGroupBox::Paint()
{
    TCanvas* c = Canvas();
    QPainter& p = *c->Handle();
    const QFont f = Font()->ToQFont();
    const QFontMetrics fm(f);
    const int h = fm.height();
    // An etched frame from half the caption's height down.
    const int top = h / 2;
    p.setPen(ColorToQColor(clBtnShadow));
    p.drawRect(0, top, Width() - 2, Height() - top - 2);
    p.setPen(ColorToQColor(clBtnHighlight));
    p.drawRect(1, top + 1, Width() - 2, Height() - top - 2);
    const QString text = Caption();
    if (text.isEmpty())
        return;
    const QRect tr(8, 0, fm.horizontalAdvance(text) + 4, h);
    p.fillRect(tr, QtColor());
    p.setFont(f);
    p.setPen(Enabled() ? QtFontColor() : ColorToQColor(clGrayText));
    p.drawText(tr.adjusted(2, 0, 0, 0), Qt::TextShowMnemonic | Qt::AlignLeft | Qt::AlignVCenter, text);
}

TRadioGroup::TRadioGroup(QWidget* parent) : TCustomGroupBox(parent), items_(std::make_unique<TStringList>())
{
    items_->OnChange = [this](TObject*) { ItemsChanged(); };
}

TRadioGroup::~TRadioGroup() { items_->OnChange = nullptr; }

TStrings* TRadioGroup::Items() const { return items_.get(); }

TRadioButton* TRadioGroup::Buttons(int index) const
{
    return index >= 0 && index < buttons_.size() ? buttons_[index] : nullptr;
}

void TRadioGroup::ItemsChanged()
{
    while (buttons_.size() > items_->Count())
        delete buttons_.takeLast();
    while (buttons_.size() < items_->Count()) {
        auto* b = new TRadioButton(this);
        const int index = int(buttons_.size());
        b->OnClick = [this, index](TObject*) {
            if (updating_)
                return;
            itemIndex_ = index;
            Click();
        };
        b->show();
        buttons_ << b;
    }
    updating_ = true;
    for (int i = 0; i < buttons_.size(); ++i) {
        buttons_[i]->SetCaption(items_->Strings(i));
        buttons_[i]->SetChecked(i == itemIndex_);
    }
    updating_ = false;
    if (itemIndex_ >= buttons_.size())
        itemIndex_ = -1;
    ArrangeButtons();
}

void TRadioGroup::SetItemIndex(int i)
{
    // While loading the items may not be there yet; the index waits for them.
    if (!IsLoading() && (i < -1 || i >= buttons_.size()))
        i = -1;
    itemIndex_ = i;
    updating_ = true;
    for (int k = 0; k < buttons_.size(); ++k)
        buttons_[k]->SetChecked(k == i);
    updating_ = false;
}

void TRadioGroup::SetColumns(int n)
{
    columns_ = std::clamp(n, 1, 16);
    ArrangeButtons();
}

void TRadioGroup::Resize()
{
    ArrangeButtons();
    TCustomGroupBox::Resize();
}

void TRadioGroup::ArrangeButtons()
{
    if (buttons_.isEmpty())
        return;
    TRect r = ClientRect();
    AdjustClientRect(r);
    const int perColumn = int((buttons_.size() + columns_ - 1) / columns_);
    const int colWidth = (r.Width() - 8) / columns_;
    const int rowHeight = std::max(1, r.Height() / std::max(1, perColumn));
    for (int i = 0; i < buttons_.size(); ++i) {
        const int col = i / perColumn, row = i % perColumn;
        buttons_[i]->SetBounds(r.Left + 8 + col * colWidth, r.Top + row * rowHeight + (rowHeight - 17) / 2, colWidth - 4, 17);
    }
}

bool TRadioGroup::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Items.Strings"), Qt::CaseInsensitive) == 0) {
        items_->SetStrings(reader.StringListValue(value));
        return true;
    }
    return TCustomGroupBox::ReadDefinitionProperty(name, value, reader);
}
