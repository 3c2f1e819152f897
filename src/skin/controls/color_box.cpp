#include "skin/controls/color_box.h"

#include "framework/canvas.h"
#include "framework/common_dialogs.h"
#include "framework/string_list.h"

#include <QComboBox>

const QVector<TColorName>& ColorNameTable()
{
    static const QVector<TColorName> table = {
        {"clBlack", clBlack}, {"clMaroon", clMaroon}, {"clGreen", clGreen}, {"clOlive", clOlive},
        {"clNavy", clNavy}, {"clPurple", clPurple}, {"clTeal", clTeal}, {"clGray", clGray},
        {"clSilver", clSilver}, {"clRed", clRed}, {"clLime", clLime}, {"clYellow", clYellow},
        {"clBlue", clBlue}, {"clFuchsia", clFuchsia}, {"clAqua", clAqua}, {"clWhite", clWhite},
        {"clMoneyGreen", clMoneyGreen}, {"clSkyBlue", clSkyBlue}, {"clCream", clCream}, {"clMedGray", clMedGray},
        // System colours take this program's encoding (0xFF0000nn), the same as everywhere else.
        {"clActiveBorder", clActiveBorder}, {"clActiveCaption", clActiveCaption},
        {"clAppWorkSpace", clAppWorkSpace}, {"clBackground", clBackground}, {"clBtnFace", clBtnFace},
        {"clBtnHighlight", clBtnHighlight}, {"clBtnShadow", clBtnShadow}, {"clBtnText", clBtnText},
        {"clCaptionText", clCaptionText}, {"clDefault", clDefault},
        {"clGradientActiveCaption", clGradientActiveCaption}, {"clGradientInactiveCaption", clGradientInactiveCaption},
        {"clGrayText", clGrayText}, {"clHighlight", clHighlight}, {"clHighlightText", clHighlightText},
        {"clHotLight", clHotLight}, {"clInactiveBorder", clInactiveBorder}, {"clInactiveCaption", clInactiveCaption},
        {"clInactiveCaptionText", clInactiveCaptionText}, {"clInfoBk", clInfoBk}, {"clInfoText", clInfoText},
        {"clMenu", clMenu}, {"clMenuBar", clMenuBar}, {"clMenuHighlight", clMenuHighlight},
        {"clMenuText", clMenuText}, {"clNone", clNone}, {"clScrollBar", clScrollBar},
        {"cl3DDkShadow", cl3DDkShadow}, {"cl3DLight", cl3DLight}, {"clWindow", clWindow},
        {"clWindowFrame", clWindowFrame}, {"clWindowText", clWindowText},
    };
    return table;
}

TsuiCustomColorBox::TsuiCustomColorBox(QWidget* parent) : TsuiCustomComboBox(parent)
{
    TsuiCustomComboBox::SetStyle(csOwnerDrawFixed);
    SetItemHeight(15);
    PopulateList();
}

void TsuiCustomColorBox::Loaded()
{
    loaded_ = true;
    // Filled first: the selection it makes waits, like any index set while loading, for the
    // combo box's own Loaded.
    if (needsFilling_)
        PopulateList();
    TsuiCustomComboBox::Loaded();
}

QString TsuiCustomColorBox::ColorNames(int index) const
{
    return index >= 0 && index < Items()->Count() ? Items()->Get(index) : QString();
}

void TsuiCustomColorBox::SetStyle(TColorBoxStyle s)
{
    if (s == style_)
        return;
    style_ = s;
    SetEnabled(bool(s & (cbStandardColors | cbExtendedColors | cbSystemColors | cbCustomColor)));
    PopulateList();
    if (WindowReady() && Items()->Count() > 0 && ItemIndex() < 0)
        SetItemIndex(0);
}

TColor TsuiCustomColorBox::Selected() const
{
    if (!WindowReady())
        return selected_;
    const int i = ItemIndex();
    return i >= 0 && i < colors_.size() ? colors_[i] : NoColorSelected;
}

void TsuiCustomColorBox::SetSelected(TColor c)
{
    if (WindowReady()) {
        const int at = int(colors_.indexOf(c));
        if (at >= 0) {
            SetItemIndex(at);
        } else if ((style_ & cbCustomColor) && c != NoColorSelected && !colors_.isEmpty()) {
            colors_[0] = c;
            SetItemIndex(0);
            ComboWidget()->update();
        } else {
            SetItemIndex(-1);
        }
    } else {
        selectedPending_ = true;
    }
    selected_ = c;
}

void TsuiCustomColorBox::SetDefaultColorColor(TColor c)
{
    if (c == defaultColorColor_)
        return;
    defaultColorColor_ = c;
    ComboWidget()->update();
}

void TsuiCustomColorBox::SetNoneColorColor(TColor c)
{
    if (c == noneColorColor_)
        return;
    noneColorColor_ = c;
    ComboWidget()->update();
}

void TsuiCustomColorBox::AddColorItem(const TColorName& entry)
{
    QString name = QString::fromLatin1(entry.Name);
    if (style_ & cbPrettyNames) {
        if (name.startsWith(QLatin1String("cl")))
            name = name.mid(2);
        QString pretty;
        for (int i = 0; i < name.size(); ++i) {
            if (i > 0 && name[i].isUpper())
                pretty += QLatin1Char(' ');
            pretty += name[i];
        }
        name = pretty;
    }
    Items()->Add(name);
    colors_.append(entry.Value);
}

void TsuiCustomColorBox::PopulateList()
{
    if (!WindowReady()) {
        needsFilling_ = true;
        return;
    }
    Items()->BeginUpdate();
    const bool haveCustom = (style_ & cbCustomColor) && !colors_.isEmpty();
    const TColor custom = haveCustom ? colors_[0] : clBlack;
    // "Nothing selected" reads as 0xFF000000, which is also clScrollBar: keep it as nothing.
    // A colour written while the list waited is the one to select.
    const bool noneSelected = !selectedPending_ && !colors_.isEmpty() && ItemIndex() < 0;
    const TColor selected = selectedPending_ || colors_.isEmpty() ? selected_ : Selected();
    selectedPending_ = false;
    Items()->Clear();
    colors_.clear();
    for (const TColorName& entry : ColorNameTable())
        AddColorItem(entry);
    auto removeValue = [this](TColor v) {
        const int at = int(colors_.indexOf(v));
        if (at >= 0) {
            Items()->Delete(at);
            colors_.removeAt(at);
        }
    };
    if (!(style_ & cbIncludeNone))
        removeValue(clNone);
    if (!(style_ & cbIncludeDefault))
        removeValue(clDefault);
    auto removeRange = [this](int from, int to) {
        for (int i = std::min(to, int(colors_.size()) - 1); i >= from; --i) {
            Items()->Delete(i);
            colors_.removeAt(i);
        }
    };
    if (!(style_ & cbSystemColors))
        removeRange(20, int(colors_.size()) - 1);
    if (!(style_ & cbExtendedColors))
        removeRange(16, 19);
    if (!(style_ & cbStandardColors))
        removeRange(0, 15);
    if (style_ & cbCustomColor) {
        Items()->Insert(0, QStringLiteral("Custom..."));
        colors_.insert(0, custom);
    }
    Items()->EndUpdate();
    if (noneSelected)
        SetItemIndex(-1);
    else
        SetSelected(selected);
    needsFilling_ = false;
}

TColor TsuiCustomColorBox::SwatchFrameColor(TColor swatch, bool selected)
{
    const TColor rgb = ColorToRGB(swatch);
    if (GetRValue(rgb) > 192 || GetGValue(rgb) > 192 || GetBValue(rgb) > 192)
        return clBlack;
    return selected ? clWhite : swatch;
}

void TsuiCustomColorBox::DrawItem(int index, const TRect& rect, TOwnerDrawState state)
{
    TCanvas* c = Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(rect);
    const TColor brush = c->Brush()->Color();
    if (index < 0 || index >= colors_.size())
        return;
    TColor swatch = colors_[index];
    if (swatch == clDefault)
        swatch = defaultColorColor_;
    else if (swatch == clNone)
        swatch = noneColorColor_;
    const int h = rect.Height();
    const TRect box = Rect(rect.Left + 1, rect.Top + 1, rect.Left + h - 1, rect.Bottom - 1);
    c->Brush()->SetColor(swatch);
    c->FillRect(box);
    c->Brush()->SetColor(SwatchFrameColor(swatch, bool(state & odSelected)));
    c->FrameRect(box);
    c->Brush()->SetColor(brush);
    c->Brush()->SetStyle(bsClear);
    const QString text = Items()->Get(index);
    const TRect textRect = Rect(box.Right + 5, rect.Top, rect.Right, rect.Bottom);
    c->TextRect(textRect, textRect.Left, rect.Top + (h - c->TextHeight(text)) / 2, text);
    c->Brush()->SetStyle(bsSolid);
}

bool TsuiCustomColorBox::PickCustomColor()
{
    TColorDialog dialog;
    const TColor start = colors_.isEmpty() ? clBlack : colors_[0];
    dialog.SetColor(start);
    TStringList custom;
    custom.Add(QString::asprintf("ColorA=%.8x", unsigned(start)));
    dialog.CustomColors()->Assign(&custom);
    if (!dialog.Execute())
        return false;
    if (!colors_.isEmpty())
        colors_[0] = dialog.Color();
    ComboWidget()->update();
    Invalidate();
    return true;
}

void TsuiCustomColorBox::ListClosed()
{
    TsuiCustomComboBox::ListClosed();
    closedByUser_ = true;
}

void TsuiCustomColorBox::KeyDown(WORD& key, TShiftState shift)
{
    closedByUser_ = false;
    if (key == VK_RETURN && (style_ & cbCustomColor) && ItemIndex() == 0) {
        PickCustomColor();
        key = 0;
        return;
    }
    TsuiCustomComboBox::KeyDown(key, shift);
}

void TsuiCustomColorBox::Select()
{
    if (closedByUser_) {
        closedByUser_ = false;
        if ((style_ & cbCustomColor) && ItemIndex() == 0 && !PickCustomColor()) {
            // Cancelled: the notification ends here, so neither OnSelect nor OnChange runs.
            swallowChange_ = true;
            return;
        }
    }
    TsuiCustomComboBox::Select();
}

void TsuiCustomColorBox::Change()
{
    if (swallowChange_) {
        swallowChange_ = false;
        return;
    }
    TsuiCustomComboBox::Change();
}
