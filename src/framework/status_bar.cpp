#include "framework/status_bar.h"

#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/panel.h"

#include <QPainter>

using namespace StatusTypes;

TStatusBarPanel::TStatusBarPanel(TStatusBar* bar) : QObject(bar), bar_(bar) {}

void TStatusBarPanel::Changed()
{
    if (bar_)
        bar_->update();
}

void TStatusBarPanel::SetText(const QString& t)
{
    if (t == text_)
        return;
    text_ = t;
    Changed();
}

void TStatusBarPanel::SetWidth(int w)
{
    width_ = std::max(0, w);
    Changed();
}

void TStatusBarPanel::SetAlignment(TAlignment a)
{
    alignment_ = a;
    Changed();
}

void TStatusBarPanel::SetBevel(TStatusPanelBevel b)
{
    bevel_ = b;
    Changed();
}

void TStatusBarPanel::SetStyle(TStatusPanelStyle s)
{
    style_ = s;
    Changed();
}

int TStatusBarPanel::Index() const { return bar_ ? int(bar_->panels_.indexOf(const_cast<TStatusBarPanel*>(this))) : -1; }

TStatusBar::TStatusBar(QWidget* parent) : TWinControl(parent)
{
    SetBounds(0, 0, 200, 19);
    SetAlign(alBottom);
    SetParentFont(true);
}

TStatusBarPanel* TStatusBar::Panels(int index) const
{
    if (index < 0 || index >= panels_.size())
        throw EListError(QString::fromLatin1(FrameworkText::ListIndexError).arg(index));
    return panels_[index];
}

TStatusBarPanel* TStatusBar::AddPanel()
{
    auto* p = new TStatusBarPanel(this);
    panels_ << p;
    update();
    return p;
}

void TStatusBar::ClearPanels()
{
    qDeleteAll(panels_);
    panels_.clear();
    update();
}

void TStatusBar::SetSimplePanel(bool v)
{
    simplePanel_ = v;
    update();
}

void TStatusBar::SetSimpleText(const QString& t)
{
    simpleText_ = t;
    update();
}

void TStatusBar::SetSizeGrip(bool v)
{
    sizeGrip_ = v;
    update();
}

TRect TStatusBar::PanelRect(int index) const
{
    int x = 0;
    for (int i = 0; i < panels_.size(); ++i) {
        const bool last = i == panels_.size() - 1;
        const int w = last ? std::max(panels_[i]->Width(), Width() - x) : panels_[i]->Width();
        if (i == index)
            return Rect(x, 2, x + w - 2, Height());
        x += w;
    }
    return {};
}

void TStatusBar::PaintControl()
{
    TWinControl::PaintControl();
    TCanvas* c = Canvas();
    QPainter& p = *c->Handle();
    p.setFont(Font()->ToQFont());
    if (simplePanel_ || panels_.isEmpty()) {
        TRect r = Rect(0, 2, Width(), Height());
        Frame3D(c, r, clBtnShadow, clBtnHighlight, 1);
        p.setPen(QtFontColor());
        p.drawText(QRect(r.Left + 2, r.Top, r.Width() - 2, r.Height()), Qt::AlignLeft | Qt::AlignVCenter, simplePanel_ ? simpleText_ : Caption());
        return;
    }
    for (int i = 0; i < panels_.size(); ++i) {
        TStatusBarPanel* panel = panels_[i];
        TRect r = PanelRect(i);
        if (panel->Bevel() != pbNone) {
            const bool lowered = panel->Bevel() == pbLowered;
            Frame3D(c, r, lowered ? clBtnShadow : clBtnHighlight, lowered ? clBtnHighlight : clBtnShadow, 1);
        }
        if (panel->Style() == psOwnerDraw) {
            DrawPanel(panel, r);
            continue;
        }
        const int h = panel->Alignment() == taRightJustify ? Qt::AlignRight : panel->Alignment() == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
        p.setPen(QtFontColor());
        p.drawText(QRect(r.Left + 2, r.Top, r.Width() - 4, r.Height()), h | Qt::AlignVCenter, panel->Text());
    }
}

void TStatusBar::DrawPanel(TStatusBarPanel* panel, const TRect& rect)
{
    if (OnDrawPanel && !IsLoading())
        FireGuarded([&] { OnDrawPanel(this, panel, rect); });
}

bool TStatusBar::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnDrawPanel", OnDrawPanel, h, "TStatusBar*,TStatusBarPanel*,TRect") || TWinControl::BindEvent(name, h);
}

bool TStatusBar::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Panels"), Qt::CaseInsensitive) == 0) {
        if (value.Kind != TDefValue::vkCollection)
            reader.Error(QStringLiteral("Collection expected"));
        ClearPanels();
        for (const TDefValue::TItem& item : value.CollectionItems)
            reader.ReadProperties(AddPanel(), item.Properties);
        return true;
    }
    return TWinControl::ReadDefinitionProperty(name, value, reader);
}
