#include "controls/spin_edit.h"

#include "controls/control_text.h"
#include "framework/application.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/forms.h"
#include "framework/timer.h"
#include "imaging/gif/graphic_utils.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <cmath>
#include <limits>

int UpDownButtonWidth()
{
    const int scrollBar = QApplication::style() ? QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent) : 16;
    return std::min(scrollBar, 15);
}

namespace {

// ---- Numbers as text ---------------------------------------------------------------------------

QString DecimalSeparator() { return QLocale().decimalPoint(); }

// Rounding to the nearest integer with halves to the even neighbour, kept within 64 bits.
int64_t RoundEven(double x)
{
    if (std::isnan(x))
        return 0;
    constexpr double limit = 9.2e18;
    x = std::clamp(x, -limit, limit);
    // The default rounding mode rounds halves to the even neighbour.
    return int64_t(std::nearbyint(x));
}

// x with 15 significant digits in fixed-point form with `decimals` digits after the separator;
// numbers with more than 15 digits before the separator in exponent form. The rounding works on
// the decimal digits, so 2.675 with two decimals gives 2.68.
QString FormatFixed(double x, int decimals)
{
    decimals = std::clamp(decimals, 0, 18);
    if (std::isnan(x))
        return QStringLiteral("NAN");
    if (std::isinf(x))
        return x < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const QString sep = DecimalSeparator();
    const bool negative = x < 0;
    const double a = std::fabs(x);
    if (a >= 1e15) {
        QString e = QString::number(a, 'E', 14);
        const qsizetype at = e.indexOf(QLatin1Char('E'));
        const int exponent = e.mid(at + 1).toInt();
        e = e.left(at).replace(QLatin1Char('.'), sep) + QStringLiteral("E+") + QStringLiteral("%1").arg(exponent, 3, 10, QLatin1Char('0'));
        return negative ? QLatin1Char('-') + e : e;
    }
    // Fifteen significant digits d1..d15 and the count of them before the separator.
    const QString sci = QString::number(a, 'e', 14);
    const qsizetype ePos = sci.indexOf(QLatin1Char('e'));
    QString digits = sci.left(ePos).remove(QLatin1Char('.'));
    int before = sci.mid(ePos + 1).toInt() + 1;
    if (a == 0)
        before = 1;
    const int keep = before + decimals;
    if (keep < 0) {
        digits.clear();
    } else if (keep < digits.size()) {
        const bool up = digits[keep] >= QLatin1Char('5');
        digits.truncate(keep);
        if (up) {
            int i = keep - 1;
            for (; i >= 0; --i) {
                if (digits[i] == QLatin1Char('9')) {
                    digits[i] = QLatin1Char('0');
                } else {
                    digits[i] = QChar(digits[i].unicode() + 1);
                    break;
                }
            }
            if (i < 0) {
                digits.prepend(QLatin1Char('1'));
                ++before;
            }
        }
    }
    auto digitAt = [&](int i) { return i >= 0 && i < digits.size() ? digits[i] : QLatin1Char('0'); };
    QString whole;
    for (int i = 0; i < before; ++i)
        whole += digitAt(i);
    if (whole.isEmpty())
        whole = QStringLiteral("0");
    QString fraction;
    for (int i = 0; i < decimals; ++i)
        fraction += digitAt(before + i);
    QString text = decimals > 0 ? whole + sep + fraction : whole;
    // A number that rounds to zero has no sign.
    const bool allZero = std::all_of(digits.begin(), digits.end(), [](QChar c) { return c == QLatin1Char('0'); });
    if (negative && !allZero)
        text.prepend(QLatin1Char('-'));
    return text;
}

bool ParseHexDigits(const QString& s, qsizetype from, uint32_t& value)
{
    if (from >= s.size())
        return false;
    uint64_t v = 0;
    for (qsizetype i = from; i < s.size(); ++i) {
        const char16_t c = s[i].unicode();
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        if (d < 0)
            return false;
        v = v * 16 + uint64_t(d);
        if (v > 0xFFFFFFFFu)
            return false;
    }
    value = uint32_t(v);
    return true;
}

// A 32-bit integer as the framework reads one: leading blanks, a sign, decimal digits or '$' and
// hexadecimal digits (up to 32 bits, which may come out negative).
bool ParseInteger(const QString& text, int32_t& value)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-'))) {
        negative = text[i] == QLatin1Char('-');
        ++i;
    }
    if (i < text.size() && text[i] == QLatin1Char('$')) {
        uint32_t u = 0;
        if (!ParseHexDigits(text, i + 1, u))
            return false;
        value = negative ? int32_t(0u - u) : int32_t(u);
        return true;
    }
    if (i >= text.size())
        return false;
    int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9'))
            return false;
        v = v * 10 + (text[i].unicode() - '0');
        if (v > int64_t(std::numeric_limits<int32_t>::max()) + 1)
            return false;
    }
    v = negative ? -v : v;
    if (v > std::numeric_limits<int32_t>::max())
        return false;
    value = int32_t(v);
    return true;
}

bool ParseFloat(const QString& text, double& value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double v = locale.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(v))
        return false;
    value = v;
    return true;
}

// ---- The built-in arrows -----------------------------------------------------------------------

// Six rows of 6 pixels; each pair gives the first and last black column, counted from 1.
std::unique_ptr<TBitmap> ArrowGlyph(const int (&rows)[6][2])
{
    auto b = std::make_unique<TBitmap>(6, 6);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x)
            b->SetPixelArgb(x, y, x + 1 >= rows[y][0] && x + 1 <= rows[y][1] ? 0xFF000000u : 0xFFFFFFFFu);
    b->SetTransparentColor(clWhite);
    return b;
}

std::unique_ptr<TBitmap> BuiltInUpGlyph()
{
    static const int rows[6][2] = {{3, 4}, {2, 5}, {1, 6}, {3, 4}, {3, 4}, {3, 4}};
    return ArrowGlyph(rows);
}

std::unique_ptr<TBitmap> BuiltInDownGlyph()
{
    static const int rows[6][2] = {{3, 4}, {3, 4}, {3, 4}, {1, 6}, {2, 5}, {3, 4}};
    return ArrowGlyph(rows);
}

void Line(TCanvas* c, TColor color, int x1, int y1, int x2, int y2)
{
    c->Pen()->SetColor(color);
    c->MoveTo(x1, y1);
    c->LineTo(x2, y2);
}

} // namespace

// ---- TRxSpinButton ------------------------------------------------------------------------------

TRxSpinButton::TRxSpinButton(QWidget* parent) : TGraphicControl(parent)
{
    // Clicks come from the halves, not from releasing the mouse.
    SetControlStyle((ControlStyle() & ~TControlStyle(csClickEvents)) | csOpaque);
    upGlyph_ = BuiltInUpGlyph();
    downGlyph_ = BuiltInDownGlyph();
    SetBounds(0, 0, 20, 20);
}

TRxSpinButton::~TRxSpinButton() = default;

bool TRxSpinButton::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnTopClick", OnTopClick, h, "TObject*")
        || BindEventTo(name, "OnBottomClick", OnBottomClick, h, "TObject*") || TGraphicControl::BindEvent(name, h);
}

TControl* TRxSpinButton::FocusControlAsControl() const { return focusControl_; }

void TRxSpinButton::SetFocusControlAsControl(TControl* control)
{
    focusControl_ = qobject_cast<TWinControl*>(control);
}

void TRxSpinButton::SetUpGlyph(TBitmap* glyph)
{
    if (glyph) {
        upGlyph_ = std::make_unique<TBitmap>();
        upGlyph_->Assign(glyph);
    } else {
        upGlyph_ = BuiltInUpGlyph();
    }
    ImagesOutdated();
}

void TRxSpinButton::SetDownGlyph(TBitmap* glyph)
{
    if (glyph) {
        downGlyph_ = std::make_unique<TBitmap>();
        downGlyph_->Assign(glyph);
    } else {
        downGlyph_ = BuiltInDownGlyph();
    }
    ImagesOutdated();
}

void TRxSpinButton::ImagesOutdated()
{
    imagesOutdated_ = true;
    Invalidate();
}

void TRxSpinButton::EnabledChanged()
{
    imagesOutdated_ = true;
    TGraphicControl::EnabledChanged();
}

TRxSpinButton::TSpinButtonState TRxSpinButton::HalfAt(int x, int y) const
{
    const double w = std::max(1, Width()), h = Height();
    return y > h - (h / w) * x ? sbBottomDown : sbTopDown;
}

void TRxSpinButton::SetDown(TSpinButtonState state)
{
    if (state == down_)
        return;
    down_ = state;
    Repaint();
}

void TRxSpinButton::FireClick(TSpinButtonState half)
{
    const TNotifyEvent& event = half == sbBottomDown ? OnBottomClick : OnTopClick;
    if (event)
        event(this);
}

void TRxSpinButton::DrawImage(TBitmap* target, TSpinButtonState pressed)
{
    const int w = Width(), h = Height();
    target->SetSize(w, h);
    TCanvas* c = target->Canvas();
    c->Brush()->SetColor(clBtnFace);
    c->Brush()->SetStyle(bsSolid);
    c->FillRect(Rect(0, 0, w, h));
    c->Pen()->SetWidth(1);
    // Frame and the diagonal between the halves.
    c->Pen()->SetColor(clWindowFrame);
    c->Brush()->SetStyle(bsClear);
    c->Rectangle(0, 0, w, h);
    Line(c, clWindowFrame, -1, h, w, -1);
    // Up half: its top and left edge.
    c->Pen()->SetColor(pressed == sbTopDown ? clBtnShadow : clBtnHighlight);
    c->MoveTo(1, h - 4);
    c->LineTo(1, 1);
    c->LineTo(w - 3, 1);
    if (pressed != sbTopDown)
        Line(c, clBtnShadow, 1, h - 3, w - 2, 0);
    // Down half: its bottom and right edge, and its edge along the diagonal.
    c->Pen()->SetColor(pressed == sbBottomDown ? clBtnHighlight : clBtnShadow);
    c->MoveTo(2, h - 2);
    c->LineTo(w - 2, h - 2);
    c->LineTo(w - 2, 1);
    Line(c, pressed == sbBottomDown ? clBtnShadow : clBtnHighlight, 2, h - 2, w - 1, 1);
    if (pressed == sbBottomDown)
        Line(c, clBtnShadow, 3, h - 2, w - 1, 2);

    auto drawGlyph = [&](TBitmap* glyph, double cx, double cy, int shift) {
        if (!glyph || glyph->Empty())
            return;
        const int x = int(RoundEven(cx - glyph->Width() / 2.0)) + shift;
        const int y = int(RoundEven(cy - glyph->Height() / 2.0)) + shift;
        if (Enabled()) {
            DrawBitmapTransparent(c, x, y, 0, 0, glyph, 0, 0, 0, 0, glyph->TransparentColor());
        } else {
            std::unique_ptr<TBitmap> grey(MakeDisabledBitmap(glyph, glyph->TransparentColor()));
            DrawBitmapTransparent(c, x, y, 0, 0, grey.get(), 0, 0, 0, 0, clBtnFace);
        }
    };
    drawGlyph(upGlyph_.get(), w / 4.0, h / 4.0, pressed == sbTopDown ? 2 : 1);
    drawGlyph(downGlyph_.get(), 3.0 * w / 4.0, 3.0 * h / 4.0, -1);
    c->FinishDrawing();
}

void TRxSpinButton::Paint()
{
    const int w = Width(), h = Height();
    if (w <= 0 || h <= 0)
        return;
    if (!Enabled())
        tracking_ = false;
    if (imagesOutdated_ || !images_[0] || images_[0]->Width() != w || images_[0]->Height() != h) {
        for (int i = 0; i < 3; ++i) {
            if (!images_[i])
                images_[i] = std::make_unique<TBitmap>();
            DrawImage(images_[i].get(), TSpinButtonState(i));
        }
        imagesOutdated_ = false;
    }
    Canvas()->Draw(0, 0, images_[down_].get());
}

void TRxSpinButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !Enabled())
        return;
    if (focusControl_ && focusControl_->TabStop() && focusControl_->CanFocus() && !focusControl_->Focused())
        focusControl_->SetFocus();
    if (down_ == sbNotDown) {
        dragging_ = HalfAt(x, y);
        down_ = dragging_;
        RunGuarded([&] { FireClick(dragging_); }, this);
        // A handler that ran a modal window may have taken the release.
        if (!(QGuiApplication::mouseButtons() & Qt::LeftButton))
            down_ = sbNotDown;
        Repaint();
        if (!repeatTimer_) {
            repeatTimer_ = new TTimer(this);
            repeatTimer_->OnTimer = [this](TObject*) { RepeatTick(); };
        }
        repeatTimer_->SetInterval(400);
        repeatTimer_->SetEnabled(true);
    }
    tracking_ = true;
}

void TRxSpinButton::MouseMove(TShiftState shift, int x, int y)
{
    TGraphicControl::MouseMove(shift, x, y);
    if (!tracking_)
        return;
    TSpinButtonState shown = sbNotDown;
    if (x >= 0 && x < Width() && y >= 0 && y < Height() && HalfAt(x, y) == dragging_)
        shown = dragging_;
    SetDown(shown);
}

void TRxSpinButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y)
{
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!tracking_)
        return;
    tracking_ = false;
    if (repeatTimer_)
        repeatTimer_->SetEnabled(false);
    if (x >= 0 && x < Width() && y >= 0 && y < Height()) {
        dragging_ = sbNotDown;
        SetDown(sbNotDown);
    }
}

void TRxSpinButton::RepeatTick()
{
    if (!repeatTimer_)
        return;
    repeatTimer_->SetInterval(100);
    if (down_ == sbNotDown || !tracking_)
        return;
    try {
        FireClick(down_);
    } catch (...) {
        repeatTimer_->SetEnabled(false);
        throw;
    }
}

// ---- TRxUpDown ----------------------------------------------------------------------------------

TRxUpDown::TRxUpDown(QWidget* parent) : TUpDown(parent)
{
    SetMin(-1);
    SetMax(1);
    SetPosition(0);
    SetBounds(Left(), Top(), UpDownButtonWidth(), Height());
    TUpDown::OnClick = [this](TObject*, TUDBtnType) {
        if (handling_)
            return;
        handling_ = true;
        const int position = Position();
        try {
            if (position != 0 && OnClick)
                OnClick(this, position > 0 ? btNext : btPrev);
        } catch (...) {
            handling_ = false;
            SetPosition(0);
            throw;
        }
        SetPosition(0);
        handling_ = false;
    };
}

TRxUpDown::~TRxUpDown()
{
    OnClick = nullptr;
    TUpDown::OnClick = nullptr;
}

void TRxUpDown::SetBounds(int left, int top, int, int height)
{
    TUpDown::SetBounds(left, top, UpDownButtonWidth(), height);
}

bool TRxUpDown::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnClick", OnClick, h, "TObject*,TUDBtnType") || TUpDown::BindEvent(name, h);
}

// ---- TRxSpinEdit --------------------------------------------------------------------------------

TRxSpinEdit::TRxSpinEdit(QWidget* parent) : TCustomEdit(parent)
{
    SetText(QStringLiteral("0"));
    LineEdit()->installEventFilter(this);
    RecreateButtons();
    ArrangeButtons();
}

TRxSpinEdit::~TRxSpinEdit()
{
    // No change is reported while the edit goes away.
    destroying_ = true;
    changing_ = true;
}

bool TRxSpinEdit::BindEvent(const QString& name, const TMethodRef& h)
{
    return BindEventTo(name, "OnTopClick", OnTopClick, h, "TObject*")
        || BindEventTo(name, "OnBottomClick", OnBottomClick, h, "TObject*") || TCustomEdit::BindEvent(name, h);
}

double TRxSpinEdit::ClampValue(double x) const
{
    if (maxValue_ == minValue_)
        return x;
    if (x < minValue_)
        return minValue_;
    return x <= maxValue_ ? x : maxValue_;
}

double TRxSpinEdit::GetValue() const
{
    const QString text = Text();
    switch (valueType_) {
    case vtFloat: {
        double v = 0;
        return ParseFloat(text, v) ? v : minValue_;
    }
    case vtHex: {
        uint32_t u = 0;
        return ParseHexDigits(text, 0, u) ? double(int32_t(u)) : std::trunc(minValue_);
    }
    case vtInteger:
    default: {
        int32_t v = 0;
        return ParseInteger(text, v) ? double(v) : std::trunc(minValue_);
    }
    }
}

void TRxSpinEdit::SetValue(double x)
{
    const double v = ClampValue(x);
    QString text;
    switch (valueType_) {
    case vtFloat:
        text = FormatFixed(v, decimal_);
        break;
    case vtHex:
        text = QString::number(quint64(RoundEven(v)), 16).toUpper();
        break;
    case vtInteger:
    default:
        text = QString::number(qint64(RoundEven(v)));
        break;
    }
    SetText(text);
}

int TRxSpinEdit::GetValueAsInteger() const
{
    const double v = std::trunc(GetValue());
    return int(std::clamp(v, double(std::numeric_limits<int32_t>::min()), double(std::numeric_limits<int32_t>::max())));
}

void TRxSpinEdit::SetValueType(TValueType type)
{
    if (type == valueType_)
        return;
    // The number is read in the form it is shown in before the form changes; reading the old
    // text in the new form would turn 255 into hexadecimal 255.
    const double v = GetValue();
    valueType_ = type;
    SetValue(v);
    if (valueType_ == vtInteger || valueType_ == vtHex) {
        increment_ = double(RoundEven(increment_));
        if (increment_ == 0)
            increment_ = 1;
    }
}

void TRxSpinEdit::SetDecimal(int digits)
{
    digits = std::clamp(digits, 0, 255);
    if (digits == decimal_)
        return;
    const double v = GetValue();
    decimal_ = digits;
    SetValue(v);
}

void TRxSpinEdit::SetEditorEnabled(bool v)
{
    editorEnabled_ = v;
    LineEdit()->setAcceptDrops(v);
}

void TRxSpinEdit::SetArrowKeys(bool v)
{
    arrowKeys_ = v;
    ArrangeButtons();
}

void TRxSpinEdit::SetButtonKind(TSpinButtonKind kind)
{
    if (kind == buttonKind_)
        return;
    buttonKind_ = kind;
    RecreateButtons();
    ArrangeButtons();
}

void TRxSpinEdit::SetAlignment(TAlignment a)
{
    if (a == alignment_)
        return;
    alignment_ = a;
    const Qt::Alignment h = a == taRightJustify ? Qt::AlignRight : a == taCenter ? Qt::AlignHCenter : Qt::AlignLeft;
    LineEdit()->setAlignment(h | Qt::AlignVCenter);
}

bool TRxSpinEdit::IsValidChar(QChar key) const
{
    QString allowed = QStringLiteral("+-0123456789");
    const QString text = Text();
    if (valueType_ == vtFloat) {
        const QString sep = DecimalSeparator();
        if (!text.contains(sep))
            allowed += sep;
        if (!text.toUpper().contains(QLatin1Char('E')))
            allowed += QStringLiteral("Ee");
    } else if (valueType_ == vtHex) {
        allowed += QStringLiteral("ABCDEFabcdef");
    }
    // Delete arrives here as a character on this desktop; it edits like backspace.
    const bool control = key.unicode() < 32 || key.unicode() == 127;
    bool valid = allowed.contains(key) || control;
    if (!editorEnabled_ && valid && (key.unicode() >= 32 || key.unicode() == 8))
        valid = false;
    return valid;
}

void TRxSpinEdit::Change()
{
    if (changing_)
        return;
    TCustomEdit::Change();
}

void TRxSpinEdit::Step(double delta, const TNotifyEvent& event)
{
    if (ReadOnly()) {
        DefaultBeep();
        return;
    }
    const QString old = Text();
    changing_ = true;
    try {
        SetValue(GetValue() + delta);
    } catch (...) {
        changing_ = false;
        throw;
    }
    changing_ = false;
    if (old.compare(Text(), Qt::CaseInsensitive) != 0) {
        SetModified(true);
        Change();
    }
    Fire(event, this);
}

void TRxSpinEdit::StepUp() { Step(increment_, OnTopClick); }
void TRxSpinEdit::StepDown() { Step(-increment_, OnBottomClick); }

void TRxSpinEdit::CutToClipboard()
{
    if (editorEnabled_ && !ReadOnly())
        TCustomEdit::CutToClipboard();
}

void TRxSpinEdit::PasteFromClipboard()
{
    if (editorEnabled_ && !ReadOnly())
        TCustomEdit::PasteFromClipboard();
}

void TRxSpinEdit::KeyDown(WORD& key, TShiftState shift)
{
    TCustomEdit::KeyDown(key, shift);
    if (key == 0)
        return;
    if (arrowKeys_ && (key == VK_UP || key == VK_DOWN)) {
        if (key == VK_UP)
            StepUp();
        else
            StepDown();
        key = 0;
        return;
    }
    if (!editorEnabled_ && EditsTextWithoutCharacter(key, shift))
        key = 0;
}

void TRxSpinEdit::KeyPress(QChar& key)
{
    if (!IsValidChar(key)) {
        key = QChar();
        DefaultBeep();
        return;
    }
    TCustomEdit::KeyPress(key);
    if (key == QLatin1Char('\r') || key == QChar(27)) {
        TForm* form = ParentForm();
        const WORD dialogKey = key == QLatin1Char('\r') ? VK_RETURN : VK_ESCAPE;
        // Handled here, so the edit passes neither key on a second time.
        key = QChar();
        if (form)
            form->DialogKey(dialogKey);
    }
}

void TRxSpinEdit::DoEnter()
{
    if (AutoSelect() && !(QGuiApplication::mouseButtons() & Qt::LeftButton))
        SelectAll();
    TWinControl::DoEnter();
}

void TRxSpinEdit::DoExit()
{
    TCustomEdit::DoExit();
    const double v = GetValue();
    if (ClampValue(v) != v)
        SetValue(v);
}

bool TRxSpinEdit::eventFilter(QObject* watched, QEvent* e)
{
    // Without typing the context menu offers copying and selecting only.
    if (watched == LineEdit() && e->type() == QEvent::ContextMenu && !editorEnabled_ && !PopupMenu()) {
        ShowCopyOnlyContextMenu(LineEdit(), static_cast<QContextMenuEvent*>(e)->globalPos());
        return true;
    }
    return TCustomEdit::eventFilter(watched, e);
}

int TRxSpinEdit::MinHeight() const
{
    constexpr int borderHeight = 1;
    return QFontMetrics(Font()->ToQFont()).height() + 4 * borderHeight + 1;
}

void TRxSpinEdit::SetBounds(int left, int top, int width, int height)
{
    if (!IsLoading() && height < MinHeight())
        height = MinHeight();
    TCustomEdit::SetBounds(left, top, width, height);
}

void TRxSpinEdit::Resize()
{
    ArrangeButtons();
    TCustomEdit::Resize();
}

void TRxSpinEdit::FontChanged()
{
    TCustomEdit::FontChanged();
    ArrangeButtons();
}

void TRxSpinEdit::EnabledChanged()
{
    TCustomEdit::EnabledChanged();
    if (upDown_)
        upDown_->SetEnabled(Enabled());
    if (spinButton_)
        spinButton_->SetEnabled(Enabled());
    ArrangeButtons();
}

void TRxSpinEdit::RecreateButtons()
{
    if (destroying_)
        return;
    delete upDown_;
    upDown_ = nullptr;
    delete buttonWindow_;
    buttonWindow_ = nullptr;
    spinButton_ = nullptr;
    if (buttonKind_ == bkStandard) {
        upDown_ = new TRxUpDown(this);
        upDown_->SetParent(this);
        upDown_->SetEnabled(Enabled());
        upDown_->OnClick = [this](TObject*, TUDBtnType b) { UpDownClick(b); };
        upDown_->Show();
        upDown_->raise();
    } else {
        buttonWindow_ = new TWinControl(this);
        buttonWindow_->SetParent(this);
        buttonWindow_->SetColor(clBtnFace);
        spinButton_ = new TRxSpinButton(buttonWindow_);
        spinButton_->SetParent(buttonWindow_);
        spinButton_->SetFocusControl(this);
        spinButton_->SetEnabled(Enabled());
        spinButton_->OnTopClick = [this](TObject*) { StepUp(); };
        spinButton_->OnBottomClick = [this](TObject*) { StepDown(); };
        spinButton_->Show();
        buttonWindow_->Show();
        buttonWindow_->raise();
    }
}

int TRxSpinEdit::ButtonWidth() const
{
    if (upDown_)
        return upDown_->Width();
    return buttonWindow_ ? buttonWindow_->Width() : 0;
}

void TRxSpinEdit::ArrangeButtons()
{
    const int w = Width(), h = Height();
    const int frame = BorderStyle() == bsSingle ? 2 : 0;
    const TRect client = Rect(frame, frame, w - frame, h - frame);
    if (upDown_) {
        const int bw = UpDownButtonWidth();
        upDown_->SetBounds(client.Right - bw, client.Top, bw, client.Height());
    } else if (buttonWindow_ && spinButton_) {
        // The square sits at the right end of the client area; with a sunken border it is moved
        // up and left by one pixel and 3 pixels smaller, and the client area clips it.
        TRect r = BorderStyle() == bsSingle ? Bounds(w - h - 1, -1, h - 3, h - 3) : Bounds(w - h, 0, h, h);
        OffsetRect(r, frame, frame);
        TRect shown;
        IntersectRect(shown, r, client);
        buttonWindow_->SetBounds(shown.Left, shown.Top, shown.Width(), shown.Height());
        spinButton_->SetBounds(r.Left - shown.Left, r.Top - shown.Top, r.Width(), r.Height());
    }
    // The text never runs under the buttons.
    LineEdit()->setTextMargins(0, 0, ButtonWidth() + 2 - frame, 0);
}

void TRxSpinEdit::UpDownClick(TUDBtnType button)
{
    if (TabStop() && CanFocus() && !Focused())
        SetFocus();
    if (button == btNext)
        StepUp();
    else
        StepDown();
}
