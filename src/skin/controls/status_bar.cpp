#include "skin/controls/status_bar.h"

#include "framework/canvas.h"
#include "framework/definition_parser.h"
#include "framework/definition_reader.h"
#include "framework/forms.h"
#include "skin/menus.h"
#include "skin/theme_lookup.h"

#include <QCursor>
#include <QWindow>

TStatusPanel::TStatusPanel(TCollection* collection) : TCollectionItem(collection) {}

void TStatusPanel::SetText(const QString& v)
{
    text_ = v;
    Changed(false);
}

void TStatusPanel::SetWidth(int v)
{
    width_ = v;
    Changed(true);
}

void TStatusPanel::SetAlignment(TAlignment v)
{
    alignment_ = v;
    Changed(false);
}

void TStatusPanel::SetBevel(TStatusPanelBevel v)
{
    bevel_ = v;
    Changed(false);
}

void TStatusPanel::SetStyle(TStatusPanelStyle v)
{
    style_ = v;
    Changed(false);
}

void TStatusPanel::Assign(TPersistent* source)
{
    auto* src = dynamic_cast<TStatusPanel*>(source);
    if (!src) {
        TCollectionItem::Assign(source);
        return;
    }
    text_ = src->text_;
    width_ = src->width_;
    alignment_ = src->alignment_;
    bevel_ = src->bevel_;
    style_ = src->style_;
    Changed(true);
}

TStatusPanels::TStatusPanels(TsuiStatusBar* bar)
    : TCollection(CollectionItemFactory<TStatusPanel>()), bar_(bar)
{
}

void TStatusPanels::Update(TCollectionItem*)
{
    if (bar_)
        bar_->update();
}

// ---------------------------------------------------------------------------------------------

TsuiStatusBar::TsuiStatusBar(QWidget* parent) : TCustomControl(parent), panels_(std::make_unique<TStatusPanels>(this))
{
    InstallSkinFontSubstitutes();
    SetControlStyle((ControlStyle() & ~TControlStyle(csAcceptsControls)) | csOpaque);
    SetFillsBackground(false);
    SetBounds(Left(), Top(), 200, 19);
    SetAlign(alBottom);
    style_ = StartUIStyle(parent);
    SetUIStyle(style_);
}

TsuiStatusBar::~TsuiStatusBar()
{
    panels_.reset();
}

void TsuiStatusBar::SetFileTheme(TsuiFileTheme* fileTheme)
{
    if (fileTheme != fileTheme_) {
        if (fileTheme_)
            RemoveFreeNotification(fileTheme_);
        fileTheme_ = fileTheme;
        if (fileTheme_)
            FreeNotification(fileTheme_);
    }
    SetUIStyle(style_);
}

void TsuiStatusBar::Notification(QObject* AComponent, TOperation Operation)
{
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == fileTheme_) {
        fileTheme_ = nullptr;
        SetUIStyle(DeepBlue);
    }
}

void TsuiStatusBar::SetUIStyle(TsuiUIStyle style)
{
    style_ = style;
    SetPanelColor(ThemeColor(fileTheme_, style, ThemeItem::FormBackgroundColor));
    update();
}

void TsuiStatusBar::SetSimplePanel(bool v)
{
    simplePanel_ = v;
    update();
}

void TsuiStatusBar::SetSimpleText(const QString& v)
{
    simpleText_ = v;
    update();
}

void TsuiStatusBar::SetSizeGrip(bool v)
{
    sizeGrip_ = v;
    update();
}

void TsuiStatusBar::SetUseSystemFont(bool v)
{
    useSystemFont_ = v;
    update();
}

bool TsuiStatusBar::FormSizeable() const
{
    TForm* form = ParentForm();
    return form && (form->BorderStyle() == bsSizeable || form->BorderStyle() == bsSizeToolWin);
}

bool TsuiStatusBar::FormMaximized() const
{
    TForm* form = ParentForm();
    return form && form->WindowState() == wsMaximized;
}

TRect TsuiStatusBar::PanelRect(int index) const
{
    int left = 0;
    for (int i = 0; i < index; ++i)
        left += panels_->Items(i)->Width();
    // The last panel reaches to the end of the bar.
    const int right = index == panels_->Count() - 1 ? Width() : left + panels_->Items(index)->Width();
    return Rect(left, 2, std::max(left, right - 2), Height());
}

TRect TsuiStatusBar::GripRect() const { return Rect(Width() - 16, Height() - 16, Width() - 1, Height() - 1); }

bool TsuiStatusBar::GripActive() const { return sizeGrip_ && FormSizeable() && !FormMaximized(); }

void TsuiStatusBar::Paint()
{
    TsuiOffscreen buffer(Width(), Height());
    TCanvas* c = buffer.Canvas();
    c->Brush()->SetStyle(bsSolid);
    c->Brush()->SetColor(Color());
    c->FillRect(ClientRect());
    c->Font()->Assign(Font());
    if (useSystemFont_) {
        SetSystemMenuFont(c->Font());
        c->Font()->SetColor(clBtnText);
    }

    auto drawText = [&](const TRect& r, const QString& text, TAlignment alignment) {
        // Status texts show "&" as it is.
        c->Brush()->SetStyle(bsClear);
        const int w = c->TextWidth(text), h = c->TextHeight(text);
        const int inner = r.Width() - 4;
        const int x = r.Left + 2 + (alignment == taRightJustify ? inner - w : alignment == taCenter ? (inner - w) / 2 : 0);
        c->TextRect(Rect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1), x, r.Top + (r.Height() - h) / 2, text);
    };
    auto bevel = [&](const TRect& r, TStatusPanelBevel b) {
        if (b == pbNone)
            return;
        const bool lowered = b == pbLowered;
        c->Pen()->SetStyle(psSolid);
        c->Pen()->SetColor(lowered ? clBtnShadow : clBtnHighlight);
        c->MoveTo(r.Left, r.Bottom - 1);
        c->LineTo(r.Left, r.Top);
        c->LineTo(r.Right, r.Top);
        c->Pen()->SetColor(lowered ? clBtnHighlight : clBtnShadow);
        c->MoveTo(r.Right - 1, r.Top + 1);
        c->LineTo(r.Right - 1, r.Bottom - 1);
        c->LineTo(r.Left, r.Bottom - 1);
    };

    if (simplePanel_ || panels_->Count() == 0) {
        drawText(Rect(0, 2, Width(), Height()), simpleText_, taLeftJustify);
    } else {
        for (int i = 0; i < panels_->Count(); ++i) {
            TStatusPanel* panel = panels_->Items(i);
            const TRect r = PanelRect(i);
            bevel(r, panel->Bevel());
            if (panel->Style() == psOwnerDraw)
                Fire(OnDrawPanel, this, panel, r);
            else
                drawText(r, panel->Text(), panel->Alignment());
        }
    }

    if (FormSizeable()) {
        const TRect g = GripRect();
        c->Brush()->SetStyle(bsSolid);
        c->Brush()->SetColor(Color());
        c->FillRect(g);
        if (sizeGrip_ && !FormMaximized()) {
            const int L = g.Left, T = g.Top, R = g.Right, B = g.Bottom;
            c->Pen()->SetStyle(psSolid);
            c->Pen()->SetWidth(1);
            c->Pen()->SetColor(clInactiveCaption);
            c->MoveTo(L + 1, B);
            c->LineTo(R, T + 1);
            for (int i = 0; i < 3; ++i) {
                c->MoveTo(L + 4 * i + 5, B);
                c->LineTo(R, T + 1 + 4 * i + 4);
            }
            if (Height() > 19)
                c->FillRect(Rect(Width() - 16, 3, Width() - 1, Height() - 16));
        }
    }
    buffer.CopyTo(Canvas());
}

void TsuiStatusBar::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TCustomControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !GripActive() || !PtInRect(GripRect(), {x, y}))
        return;
    TForm* form = ParentForm();
    bool systemResize = false;
    if (!form->MdiFrame())
        if (QWindow* w = form->window()->windowHandle())
            systemResize = w->startSystemResize(Qt::RightEdge | Qt::BottomEdge);
    if (!systemResize) {
        sizing_ = true;
        sizeStart_ = mapToGlobal(QPoint(x, y));
        sizeStartSize_ = QSize(form->Width(), form->Height());
    }
}

void TsuiStatusBar::MouseMove(TShiftState shift, int x, int y)
{
    TCustomControl::MouseMove(shift, x, y);
    setCursor(GripActive() && PtInRect(GripRect(), {x, y}) ? Qt::SizeFDiagCursor : Qt::ArrowCursor);
    if (!sizing_)
        return;
    if (TForm* form = ParentForm()) {
        const QPoint d = mapToGlobal(QPoint(x, y)) - sizeStart_;
        form->SetBounds(form->Left(), form->Top(), sizeStartSize_.width() + d.x(), sizeStartSize_.height() + d.y());
    }
}

void TsuiStatusBar::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    if (button == mbLeft)
        sizing_ = false;
    TCustomControl::MouseUp(button, shift, x, y);
}

bool TsuiStatusBar::ReadDefinitionProperty(const QString& name, const TDefValue& value, TDefinitionReader& reader)
{
    if (name.compare(QLatin1String("Panels"), Qt::CaseInsensitive) == 0) {
        if (value.Kind != TDefValue::vkCollection)
            reader.Error(QStringLiteral("Collection expected"));
        panels_->BeginUpdate();
        panels_->Clear();
        for (const TDefValue::TItem& item : value.CollectionItems)
            reader.ReadProperties(panels_->Add(), item.Properties);
        panels_->EndUpdate();
        return true;
    }
    return TCustomControl::ReadDefinitionProperty(name, value, reader);
}

bool TsuiStatusBar::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnHint", OnHint, h, "TObject*") || TCustomControl::BindEvent(name, h);
}
