#include "animation/animator_form.h"

#include "animation/animation_skin.h"
#include "document/command_dialog.h"
#include "animation/gif_preview.h"
#include "animation/palette_form.h"
#include "controls/combo_edit.h"
#include "controls/hint_window.h"
#include "controls/shadow_label.h"
#include "controls/spin_edit.h"
#include "controls/storage/placement_store.h"
#include "document/scratch_folder.h"
#include "framework/application.h"
#include "framework/beep.h"
#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/check_box.h"
#include "framework/clipboard.h"
#include "framework/combo_box.h"
#include "framework/common_dialogs.h"
#include "framework/dialogs.h"
#include "framework/exceptions.h"
#include "framework/label.h"
#include "framework/memo.h"
#include "framework/paint_box.h"
#include "framework/panel.h"
#include "framework/picture.h"
#include "framework/scroll_bar.h"
#include "framework/speed_button.h"
#include "framework/streams.h"
#include "framework/string_list.h"
#include "imaging/gif/gif_animator.h"
#include "imaging/gif/gif_image.h"
#include "imaging/gif/graphic_utils.h"
#include "imaging/toolkit/imaging_control.h"
#include "platform/atomic_file.h"
#include "platform/gdip.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"
#include "skin/form.h"
#include "skin/title_bar.h"
#include "framework/page_control.h"

#include <QDesktopServices>
#include <QScopeGuard>
#include <QFileInfo>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <unordered_set>

TAnimatorForm* AnimatorForm = nullptr;

namespace {

std::function<void(const QString&)>& FrameEditor()
{
    static std::function<void(const QString&)> editor;
    return editor;
}

// Restores the application cursor however the busy stretch ends.
class TBusyCursor {
public:
    TBusyCursor() : previous_(Screen->Cursor()) { Screen->SetCursor(crHourGlass); }
    ~TBusyCursor() { Screen->SetCursor(previous_); }

private:
    int previous_;
};

// A colour no opaque pixel of the picture has, to stand for its transparent pixels: greys first,
// as the builder has always keyed with a grey, then any other colour.
uint32_t UnusedKeyColour(const QImage& argb)
{
    std::unordered_set<uint32_t> used;
    for (int y = 0; y < argb.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x)
            if (qAlpha(row[x]) >= 128)
                used.insert(row[x] & 0xFFFFFF);
    }
    for (uint32_t i = 1; i < 256; ++i)
        if (!used.count(i * 0x010101u))
            return i * 0x010101u;
    for (uint32_t c = 1; c < 0x1000000u; ++c)
        if (!used.count(c))
            return c;
    return 0;
}

// The Welcome page's own animation: a ball running round under the builder's name.
void MakeWelcomeAnimation(TGIFImage& gif)
{
    constexpr int frames = 12, w = 200, h = 120;
    for (int i = 0; i < frames; ++i) {
        TBitmap b;
        b.SetSize(w, h);
        TCanvas* c = b.Canvas();
        c->Brush()->SetColor(clWhite);
        c->FillRect(Rect(0, 0, w, h));
        c->Font()->SetSize(11);
        c->Font()->SetColor(TColor(0x804000));
        c->TextOut(14, 12, QStringLiteral("Animation GIF Builder"));
        const double angle = 6.283185307 * i / frames;
        const int x = w / 2 + int(60 * std::cos(angle)), y = 72 + int(26 * std::sin(angle));
        c->Pen()->SetColor(TColor(0x0060C0));
        c->Brush()->SetColor(TColor(0x00A0FF));
        c->Ellipse(x - 9, y - 9, x + 9, y + 9);
        c->FinishDrawing();
        gif.AddFrame(&b);
        gif.GetFrame(i)->SetDelay(80);
    }
    gif.SetLooping(true);
    gif.SetRepeatCount(0);
    gif.EncodeAllFrames();
}

} // namespace

void SetGifFrameEditor(std::function<void(const QString&)> editor) { FrameEditor() = std::move(editor); }

TAnimatorForm* EnsureAnimatorForm()
{
    if (!AnimatorForm)
        AnimatorForm = new TAnimatorForm(nullptr);
    return AnimatorForm;
}

TAnimatorForm::TAnimatorForm(QWidget* owner) : TForm(owner)
{
    RegisterAnimationClasses();
    // The placement goes to the current user's registry under "Software\RX\" + the title.
    StorageCompanyName = QStringLiteral("RX");
    StorageUseAppTitle = true;
    InstallStyledHintWindow(0, 3, false, 2);
    image_ = std::make_unique<TGIFImage>();
    LoadDefinition(QStringLiteral(":/animation/animator_form.wdf"));
    if (auto* welcome = FindPart<TRxGIFAnimator>(this, QStringLiteral("RxGIFAnimator1"))) {
        TGIFImage animation;
        MakeWelcomeAnimation(animation);
        welcome->SetImage(&animation);
        welcome->SetAnimate(true);
    }
    if (auto* f = FindPart<TsuiForm>(this, QStringLiteral("suiForm1"))) {
        // Minimise, close and help: the builder is a dialog of fixed size.
        if (TsuiTitleBarCollection* buttons = f->TitleBarButtons()) {
            bool hasHelp = false;
            for (int i = 0; i < buttons->Count(); ++i)
                if (auto* button = dynamic_cast<TsuiTitleBarButton*>(buttons->Items(i))) {
                    if (button->ButtonType() == suiMax)
                        button->SetVisible(false);
                    hasHelp = hasHelp || button->ButtonType() == suiHelp;
                }
            if (!hasHelp)
                if (auto* button = dynamic_cast<TsuiTitleBarButton*>(buttons->Add()))
                    button->SetButtonType(suiHelp);
        }
        f->OnTitleBarHelpBtnClick() = [this](TObject*, int) { HelpButtonClick(); };
    }
    if (auto* open = FindPart<TOpenDialog>(this, QStringLiteral("OpenDialog")))
        open->SetFilter(TPicture::GraphicFilter());
    if (auto* save = FindPart<TSaveDialog>(this, QStringLiteral("SaveDialog")))
        save->SetFilter(TPicture::GraphicFilter(GraphicClass<TGIFImage>()));
    Application->OnActivate = [this](TObject* s) { FormActivate(s); };
    image_->OnProgress = [this](TGifProgressStage stage, int percent, const QString& message) {
        ProgressCallback(stage, percent, message);
    };
    image_->OnChange = [this](TObject* s) { ImageChanged(s); };
    UpdateCaption();
    ImageChanged(this);
    SetStatus(QStringLiteral("Ready"));
    Modified = false;
}

TAnimatorForm::~TAnimatorForm()
{
    if (image_)
        image_->OnChange = nullptr;
    if (AnimatorForm == this) {
        AnimatorForm = nullptr;
        Application->OnActivate = nullptr;
    }
}

// ---- frames and properties ------------------------------------------------------------------

bool TAnimatorForm::HasCurrentFrame() const { return !image_->GetEmpty() && image_->FrameIndex >= 0 && image_->GetCount() > 0; }

TGIFFrame* TAnimatorForm::CurrentFrame() const { return HasCurrentFrame() ? image_->GetFrame(image_->FrameIndex) : nullptr; }

std::vector<uint32_t> TAnimatorForm::GetPalette() const { return image_->GetCount() > 0 ? image_->GetPalette() : std::vector<uint32_t>(); }

void TAnimatorForm::SetStatus(const QString& text)
{
    if (auto* status = FindPart<TLabel>(this, QStringLiteral("Status")))
        status->SetCaption(text);
}

void TAnimatorForm::ImageChanged(TObject*)
{
    const int count = image_->GetCount();
    if (auto* pos = FindPart<TScrollBar>(this, QStringLiteral("FramePos"))) {
        const bool wasUpdating = Updating;
        Updating = true;
        pos->SetMax(std::max(0, count - 1));
        Updating = wasUpdating;
        const bool hadFocus = pos->Focused();
        pos->SetEnabled(count > 1 && !image_->GetEmpty());
        if (!pos->Enabled())
            FocusPagesWithoutFramePosition(hadFocus);
    }
    SelectFrame(std::max(0, image_->FrameIndex), true);
    UpdateTabs();
    if (!Loading) {
        ShowProperties();
        UpdateButtons();
    }
}

void TAnimatorForm::FocusPagesWithoutFramePosition(bool force)
{
    // With no frame to step through, the keys go to the pages; a field being typed in keeps them.
    auto* pages = FindPart<TPageControl>(this, QStringLiteral("PageControl1"));
    const QWidget* focused = focusWidget();
    if (pages && pages->CanFocus() && (force || !focused || !focused->isEnabled() || !focused->isVisible()))
        pages->SetFocus();
}

void TAnimatorForm::SelectFrame(int index, bool forced)
{
    const int count = image_->GetCount();
    if (forced || index != image_->FrameIndex) {
        index = std::clamp(index, -1, count - 1);
        if (count > 0)
            FirstVisible = std::max(FirstVisible, 0);
        if (FirstVisible < index - 3)
            FirstVisible = index - 3;
        if (FirstVisible > index)
            FirstVisible = index;
        if (index != image_->FrameIndex) {
            // The picture's change event would come back here; the refresh follows below.
            auto handler = std::move(image_->OnChange);
            image_->SetFrameIndex(index);
            image_->OnChange = std::move(handler);
        }
        if (auto* pos = FindPart<TScrollBar>(this, QStringLiteral("FramePos"))) {
            const bool wasUpdating = Updating;
            Updating = true;
            pos->SetPosition(std::max(0, index));
            Updating = wasUpdating;
        }
        for (int i = 1; i <= 4; ++i)
            if (auto* box = FindPart<TPaintBox>(this, QStringLiteral("PaintBox%1").arg(i)))
                box->Invalidate();
        if (!Updating && !Loading)
            ShowProperties();
    }
    for (int i = 0; i < 4; ++i) {
        const int frame = FirstVisible + i;
        const bool exists = frame >= 0 && frame < count;
        if (auto* no = FindPart<TLabel>(this, QStringLiteral("No%1").arg(i + 1))) {
            no->SetCaption(QString::number(frame + 1));
            no->SetVisible(exists);
        }
        if (auto* label = FindPart<TLabel>(this, QStringLiteral("Frame%1Lbl").arg(i + 1)))
            label->SetVisible(exists);
        if (auto* panel = FindPart<TPanel>(this, QStringLiteral("ThumbPanel%1").arg(i + 1)))
            panel->SetVisible(exists);
    }
    UpdateButtons();
}

void TAnimatorForm::UpdateTabs()
{
    const bool frames = image_->GetCount() > 0;
    for (const char* name : {"AnimationPage", "ImagePage"}) {
        if (auto* page = FindPart<TTabSheet>(this, QLatin1String(name))) {
            page->SetEnabled(frames);
            page->SetTabVisible(frames);
        }
    }
    auto* pages = FindPart<TPageControl>(this, QStringLiteral("PageControl1"));
    if (!pages)
        return;
    if (!frames)
        pages->SetActivePage(FindPart<TTabSheet>(this, QStringLiteral("WelcomePage")));
    else if (pages->ActivePage() == FindPart<TTabSheet>(this, QStringLiteral("WelcomePage")))
        pages->SetActivePage(FindPart<TTabSheet>(this, QStringLiteral("AnimationPage")));
}

void TAnimatorForm::UpdateButtons()
{
    const bool current = HasCurrentFrame();
    const int index = image_->FrameIndex;
    const int count = image_->GetCount();
    auto enable = [this](const char* name, bool on) {
        if (auto* c = qobject_cast<TControl*>(FindComponent(QLatin1String(name))))
            c->SetEnabled(on);
    };
    enable("newbtn", true);
    enable("OpenBtn", true);
    enable("SaveBtn", current && !FileName.isEmpty());
    enable("saveasbtn", current);
    enable("InsertBtn", true);
    enable("CutBtn", current);
    enable("CopyBtn", current);
    enable("DeleteBtn", current);
    enable("PasteBtn", ClipboardHasPicture());
    enable("UpBtn", current && index > 0);
    enable("DownBtn", current && index < count - 1);
    enable("left", current);
    enable("reght", current);
    enable("edit", current);
    enable("Previewsee", current);
    enable("see", current);
    enable("suiButton6", true);
}

void TAnimatorForm::ShowProperties()
{
    const bool wasUpdating = Updating;
    Updating = true;
    auto label = [this](const char* name, const QString& text) {
        if (auto* l = FindPart<TLabel>(this, QLatin1String(name)))
            l->SetCaption(text);
    };
    label("ScreenW", QString::number(image_->GetScreenWidth()));
    label("ScreenH", QString::number(image_->GetScreenHeight()));
    label("ImageCount", QString::number(image_->GetCount()));
    label("GIFVersion", GifVersionName(image_->Version));
    if (auto* back = FindPart<TComboEdit>(this, QStringLiteral("BackColor"))) {
        const TColor c = image_->GetBackgroundColor();
        back->SetColor(c == GifNoColor ? clWindow : c);
    }
    if (auto* loop = FindPart<TCheckBox>(this, QStringLiteral("LoopBox")))
        loop->SetChecked(image_->Looping);
    if (auto* rep = FindPart<TCheckBox>(this, QStringLiteral("RepeatForever")))
        rep->SetChecked(image_->RepeatCount == 0);
    if (auto* cnt = FindPart<TRxSpinEdit>(this, QStringLiteral("RepeatCnt")))
        cnt->SetValue(image_->RepeatCount);
    if (auto* memo = FindPart<TMemo>(this, QStringLiteral("TrailingComment")))
        memo->Lines()->Assign(image_->GetComment());
    EnableLoopControls();

    TGIFFrame* frame = CurrentFrame();
    if (frame) {
        if (auto* memo = FindPart<TMemo>(this, QStringLiteral("FrameComment")))
            memo->Lines()->Assign(frame->GetComment());
        label("FrameW", QString::number(frame->GetWidth()));
        label("FrameH", QString::number(frame->GetHeight()));
        if (auto* e = FindPart<TRxSpinEdit>(this, QStringLiteral("ImageLeft")))
            e->SetValue(frame->Origin().X);
        if (auto* e = FindPart<TRxSpinEdit>(this, QStringLiteral("ImageTop")))
            e->SetValue(frame->Origin().Y);
        if (auto* e = FindPart<TRxSpinEdit>(this, QStringLiteral("DelayTime")))
            e->SetValue(frame->Delay() / 10);
        if (auto* combo = FindPart<TComboBox>(this, QStringLiteral("DisposalCombo")))
            combo->SetItemIndex(frame->Disposal() > 3 ? 0 : frame->Disposal());
        const bool trans = frame->TransparentColor() != GifNoColor;
        if (auto* box = FindPart<TCheckBox>(this, QStringLiteral("TransBox")))
            box->SetChecked(trans);
        if (auto* color = FindPart<TComboEdit>(this, QStringLiteral("TransColor"))) {
            color->SetEnabled(trans);
            color->SetColor(trans ? frame->TransparentColor() : clWindow);
        }
        if (auto* l = FindPart<TControl>(this, QStringLiteral("TransColorLbl")))
            l->SetEnabled(trans);
    } else {
        if (auto* memo = FindPart<TMemo>(this, QStringLiteral("FrameComment")))
            memo->Lines()->Clear();
        label("FrameW", QString());
        label("FrameH", QString());
    }
    Updating = wasUpdating;
}

void TAnimatorForm::PaintBoxPaint(TObject* Sender)
{
    auto* box = dynamic_cast<TPaintBox*>(Sender);
    const int panel = PanelIndexOf(Sender);
    if (!box || panel < 0)
        return;
    const int f = FirstVisible + panel;
    if (f < 0 || f >= image_->GetCount())
        return;
    TCanvas* canvas = box->Canvas();
    TRect r = Rect(0, 0, box->Width(), box->Height());
    if (f == image_->FrameIndex) {
        canvas->Pen()->SetColor(clActiveCaption);
        canvas->Pen()->SetWidth(3);
        canvas->Brush()->SetStyle(bsClear);
        canvas->Rectangle(1, 1, r.Right - 1, r.Bottom - 1);
        canvas->Brush()->SetStyle(bsSolid);
    }
    InflateRect(r, -3, -3);
    TGIFFrame* frame = image_->GetFrame(f);
    const int screenW = std::max(1, image_->GetScreenWidth()), screenH = std::max(1, image_->GetScreenHeight());
    int x = frame->Origin().X, y = frame->Origin().Y, w = frame->GetWidth(), h = frame->GetHeight();
    const int boxW = r.Width(), boxH = r.Height();
    if (boxW < screenW || boxH < screenH) {
        int num, den;
        if (int64_t(screenH) * boxW / screenW > boxH) {
            num = boxH;
            den = screenH;
        } else {
            num = boxW;
            den = screenW;
        }
        x = int(int64_t(x) * num / den);
        y = int(int64_t(y) * num / den);
        w = int(int64_t(w) * num / den);
        h = int(int64_t(h) * num / den);
    }
    frame->Draw(canvas, Bounds(x + 3, y + 3, w, h), false);
}

int TAnimatorForm::PanelIndexOf(TObject* sender) const
{
    for (int i = 1; i <= 4; ++i)
        if (sender && dynamic_cast<QObject*>(sender) == FindComponent(QStringLiteral("PaintBox%1").arg(i)))
            return i - 1;
    return -1;
}

void TAnimatorForm::PaintBoxMouseDown(TObject* Sender, TMouseButton, TShiftState, int, int)
{
    const int panel = PanelIndexOf(Sender);
    if (panel < 0)
        return;
    const int f = FirstVisible + panel;
    if (f < 0 || f >= image_->GetCount())
        return;
    if (auto* pos = FindPart<TScrollBar>(this, QStringLiteral("FramePos")); pos && pos->Enabled())
        pos->SetFocus();
    SelectFrame(f, true);
}

void TAnimatorForm::FramePosChange(TObject*)
{
    if (Updating)
        return;
    if (auto* pos = FindPart<TScrollBar>(this, QStringLiteral("FramePos")))
        SelectFrame(pos->Position(), false);
}

void TAnimatorForm::leftClick(TObject*)
{
    if (!HasCurrentFrame())
        return;
    SelectFrame(std::max(0, image_->FrameIndex - 1), false);
}

void TAnimatorForm::reghtClick(TObject*)
{
    if (!HasCurrentFrame())
        return;
    SelectFrame(std::min(image_->GetCount() - 1, image_->FrameIndex + 1), false);
}

void TAnimatorForm::OriginChange(TObject*)
{
    TGIFFrame* frame = CurrentFrame();
    if (Updating || Loading || !frame)
        return;
    auto* l = FindPart<TRxSpinEdit>(this, QStringLiteral("ImageLeft"));
    auto* t = FindPart<TRxSpinEdit>(this, QStringLiteral("ImageTop"));
    if (!l || !t)
        return;
    frame->SetOrigin(Point(l->GetValueAsInteger(), t->GetValueAsInteger()));
    Modified = true;
}

void TAnimatorForm::DelayTimeChange(TObject*)
{
    TGIFFrame* frame = CurrentFrame();
    auto* e = FindPart<TRxSpinEdit>(this, QStringLiteral("DelayTime"));
    if (Updating || Loading || !frame || !e)
        return;
    // The frame holds 16-bit milliseconds: longer durations stop at the largest it can hold.
    frame->SetDelay(uint16_t(std::min(e->GetValueAsInteger() * 10, 65535)));
    Modified = true;
}

void TAnimatorForm::DisposalComboChange(TObject*)
{
    TGIFFrame* frame = CurrentFrame();
    auto* combo = FindPart<TComboBox>(this, QStringLiteral("DisposalCombo"));
    if (Updating || Loading || !frame || !combo || combo->ItemIndex() < 0)
        return;
    frame->SetDisposal(uint8_t(combo->ItemIndex()));
    Modified = true;
}

void TAnimatorForm::TransBoxClick(TObject*)
{
    auto* box = FindPart<TCheckBox>(this, QStringLiteral("TransBox"));
    if (!box)
        return;
    if (auto* c = FindPart<TControl>(this, QStringLiteral("TransColor")))
        c->SetEnabled(box->Checked());
    if (auto* c = FindPart<TControl>(this, QStringLiteral("TransColorLbl")))
        c->SetEnabled(box->Checked());
    TGIFFrame* frame = CurrentFrame();
    if (Updating || Loading || !frame)
        return;
    if (!box->Checked()) {
        frame->SetTransparentColor(GifNoColor);
        Modified = true;
    }
}

void TAnimatorForm::TransColorButtonClick(TObject*)
{
    TGIFFrame* frame = CurrentFrame();
    if (!frame) {
        MessageBeep(0);
        return;
    }
    const std::vector<uint32_t> palette = GetPalette();
    const TColor old = frame->TransparentColor();
    const TColor chosen = PickPaletteColor(palette.empty() ? nullptr : &palette, old);
    if (chosen != old) {
        frame->SetTransparentColor(chosen);
        Modified = true;
        ShowProperties();
    }
}

void TAnimatorForm::BackColorButtonClick(TObject*)
{
    const std::vector<uint32_t> palette = GetPalette();
    const TColor old = image_->GetBackgroundColor();
    const TColor chosen = PickPaletteColor(palette.empty() ? nullptr : &palette, old);
    if (chosen != old) {
        image_->SetBackgroundColor(chosen);
        Modified = true;
        ShowProperties();
    }
}

void TAnimatorForm::EnableLoopControls()
{
    auto* loop = FindPart<TCheckBox>(this, QStringLiteral("LoopBox"));
    auto* rep = FindPart<TCheckBox>(this, QStringLiteral("RepeatForever"));
    if (!loop || !rep)
        return;
    rep->SetEnabled(loop->Checked());
    const bool countOn = rep->Enabled();
    for (const char* name : {"RepeatCnt", "RepeatLbl"})
        if (auto* c = FindPart<TControl>(this, QLatin1String(name)))
            c->SetEnabled(countOn);
}

void TAnimatorForm::ApplyLooping(bool fromRepeatBox)
{
    EnableLoopControls();
    if (Updating || Loading)
        return;
    auto* loop = FindPart<TCheckBox>(this, QStringLiteral("LoopBox"));
    auto* rep = FindPart<TCheckBox>(this, QStringLiteral("RepeatForever"));
    auto* cnt = FindPart<TRxSpinEdit>(this, QStringLiteral("RepeatCnt"));
    if (!loop || !rep || !cnt)
        return;
    if (!fromRepeatBox) {
        Updating = true;
        rep->SetChecked(cnt->GetValueAsInteger() == 0);
        Updating = false;
    }
    // Both go to the picture before the window is refilled from it, so that the refill after
    // the first does not undo the second.
    auto handler = std::move(image_->OnChange);
    image_->OnChange = nullptr;
    image_->SetRepeatCount(uint16_t(rep->Checked() ? 0 : std::clamp(cnt->GetValueAsInteger(), 0, 30000)));
    image_->SetLooping(loop->Checked());
    image_->OnChange = std::move(handler);
    Modified = true;
}

void TAnimatorForm::LoopChange(TObject*) { ApplyLooping(false); }

void TAnimatorForm::RepeatForeverClick(TObject*) { ApplyLooping(true); }

void TAnimatorForm::TrailingCommentChange(TObject*)
{
    auto* memo = FindPart<TMemo>(this, QStringLiteral("TrailingComment"));
    if (Updating || Loading || !memo)
        return;
    image_->SetComment(memo->Lines());
    Modified = true;
}

void TAnimatorForm::FrameCommentChange(TObject*)
{
    auto* memo = FindPart<TMemo>(this, QStringLiteral("FrameComment"));
    TGIFFrame* frame = CurrentFrame();
    if (Updating || Loading || !memo || !frame)
        return;
    frame->SetComment(memo->Lines());
    Modified = true;
}

void TAnimatorForm::ToolButton11Click(TObject*)
{
    const int index = image_->FrameIndex;
    if (HasCurrentFrame() && index > 0) {
        image_->MoveFrame(index, index - 1);
        Modified = true;
        ImageChanged(this);
    }
}

void TAnimatorForm::DownBtnClick(TObject*)
{
    const int index = image_->FrameIndex;
    if (HasCurrentFrame() && index >= 0 && index < image_->GetCount() - 1) {
        image_->MoveFrame(index, index + 1);
        Modified = true;
        ImageChanged(this);
    }
}

void TAnimatorForm::DeleteBtnClick(TObject*)
{
    if (!HasCurrentFrame())
        return;
    image_->DeleteFrame(image_->FrameIndex);
    Modified = true;
    ImageChanged(this);
}

// ---- files ------------------------------------------------------------------------------------

void TAnimatorForm::UpdateCaption()
{
    QString text = Application->Title();
    if (!FileName.isEmpty())
        text += QStringLiteral(" - ") + QFileInfo(FileName).fileName();
    // The skinned title bar keeps its own caption; the window text names the file.
    if (auto* f = FindPart<TsuiForm>(this, QStringLiteral("suiForm1")))
        f->SetCaption(QStringLiteral("Animation GIF Builder"));
    SetCaption(text);
}

bool TAnimatorForm::AskSaveChanges()
{
    // An animation without frames has nothing to lose (and nothing Save could write).
    if (!Modified || image_->GetCount() == 0)
        return true;
    return AskToSaveAnimation([this] { SaveBtnClick(this); }, [this] { return !Modified; });
}

void TAnimatorForm::ProgressCallback(TGifProgressStage stage, int percent, const QString& message)
{
    auto* bar = FindPart<TProgressBar>(this, QStringLiteral("Progress"));
    if (stage == gpsStarting || stage == gpsEnding) {
        LastProgress = 0;
        if (bar)
            bar->SetPosition(0);
        Application->ProcessMessages();
    } else if (percent - LastProgress >= 10) {
        LastProgress = percent;
        if (bar)
            bar->SetPosition(percent);
        Application->ProcessMessages();
    }
    if (!message.isEmpty()) {
        SetStatus(message);
        if (auto* status = FindPart<TLabel>(this, QStringLiteral("Status")))
            status->Repaint();
    }
    if (Loading && CancelRequested) {
        CancelRequested = false;
        throw EAbort(QString());
    }
}

void TAnimatorForm::FormKeyPress(TObject*, QChar& Key)
{
    if (Key == QChar(27) && Loading) {
        CancelRequested = true;
        Key = QChar(0);
    }
}

void TAnimatorForm::NewBtn1Click(TObject*)
{
    if (!AskSaveChanges())
        return;
    if (image_->GetCount() > 0)
        image_->Clear();
    FileName.clear();
    UpdateCaption();
    ImageChanged(this);
    SetStatus(QStringLiteral("Ready"));
    Modified = false;
}

void TAnimatorForm::OpenBtnClick(TObject*)
{
    // The status line and the progress bar show only while a file opens.
    auto* bar = FindPart<TControl>(this, QStringLiteral("Progress"));
    auto* status = FindPart<TControl>(this, QStringLiteral("Status"));
    for (TControl* c : {bar, status})
        if (c)
            c->SetVisible(true);
    auto hideProgress = qScopeGuard([bar, status] {
        for (TControl* c : {bar, status})
            if (c)
                c->SetVisible(false);
    });
    if (!AskSaveChanges())
        return;
    auto* open = FindPart<TOpenDialog>(this, QStringLiteral("OpenDialog"));
    if (!open)
        return;
    const QString allPictures = open->Filter();
    open->SetFilter(TPicture::GraphicFilter(GraphicClass<TGIFImage>()));
    const bool chosen = open->Execute();
    open->SetFilter(allPictures);
    if (!chosen)
        return;
    const QString path = open->FileName();
    Loading = true;
    bool failed = false;
    QString error;
    {
        TBusyCursor busy;
        open->SetInitialDir(QFileInfo(path).absolutePath());
        SetStatus(QStringLiteral("Press <Esc> to cancel"));
        Application->ProcessMessages();
        try {
            image_->LoadFromFile(path);
            image_->DecodeAllFrames();
            FileName = path;
            ShowProperties();
        } catch (const EAbort&) {
            failed = true;
        } catch (const Exception& e) {
            failed = true;
            error = e.Message();
        }
        if (failed) {
            image_->Clear();
            FileName.clear();
        }
        Loading = false;
        CancelRequested = false;
        Modified = image_->IsCorrupted();
    }
    SetStatus(QStringLiteral("Ready"));
    ImageChanged(this);
    UpdateCaption();
    UpdateButtons();
    if (auto* pos = FindPart<TScrollBar>(this, QStringLiteral("FramePos")); pos && !pos->Enabled())
        FocusPagesWithoutFramePosition(true);
    if (!error.isEmpty())
        Application->ShowException(Exception(error));
}

void TAnimatorForm::WriteGifFile(const QString& path)
{
    TMemoryStream memory;
    image_->SaveToStream(&memory);
    if (!WriteFileAtomically(path, memory.Bytes()))
        throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(path));
}

void TAnimatorForm::SaveBtnClick(TObject*)
{
    if (FileName.isEmpty()) {
        ToolButton13Click(this);
        return;
    }
    {
        TBusyCursor busy;
        WriteGifFile(FileName);
        Modified = false;
    }
    SetStatus(QStringLiteral("Ready"));
}

void TAnimatorForm::ToolButton13Click(TObject*)
{
    auto* save = FindPart<TSaveDialog>(this, QStringLiteral("SaveDialog"));
    if (!save)
        return;
    if (!FileName.isEmpty()) {
        save->SetFileName(FileName);
        save->SetInitialDir(QFileInfo(FileName).absolutePath());
    } else {
        // A new animation starts with no name, never that of the file saved before.
        save->SetFileName(QString());
    }
    if (image_->GetCount() > 0 && save->Execute()) {
        Application->ProcessMessages();
        TBusyCursor busy;
        const QString path = save->FileName();
        save->SetInitialDir(QFileInfo(path).absolutePath());
        WriteGifFile(path);
        Modified = false;
        FileName = path;
        UpdateCaption();
        UpdateButtons();
    }
    SetStatus(QStringLiteral("Ready"));
}

void TAnimatorForm::AddPictureFrame(TGraphic* graphic)
{
    image_->AddFrame(graphic);
    Modified = true;
    ImageChanged(this);
    TBusyCursor busy;
    image_->EncodeAllFrames();
}

void TAnimatorForm::InsertPictureFile(const QString& fileName)
{
    const int i = image_->FrameIndex;
    const int n = image_->GetCount();
    if (auto* open = FindPart<TOpenDialog>(this, QStringLiteral("OpenDialog"))) {
        open->SetFileName(fileName);
        open->SetInitialDir(QFileInfo(fileName).absolutePath());
    }
    {
        TBusyCursor busy;
        TPicture picture;
        picture.LoadFromFile(fileName);
        if (picture.Graphic() && !picture.Graphic()->Empty())
            AddPictureFrame(picture.Graphic());
        else
            return;
    }
    SetStatus(QStringLiteral("Ready"));
    // The new frame goes right after the one that was current.
    const int moves = n - i - 1;
    if (image_->FrameIndex > 1 && moves > 0) {
        for (int k = 0; k < moves; ++k)
            image_->MoveFrame(image_->FrameIndex, image_->FrameIndex - 1);
        Modified = true;
        ImageChanged(this);
    }
}

void TAnimatorForm::InsertBtnClick(TObject*)
{
    auto* open = FindPart<TOpenDialog>(this, QStringLiteral("OpenDialog"));
    if (!open || !open->Execute())
        return;
    Application->ProcessMessages();
    TBusyCursor busy;
    const QString chosen = open->FileName();
    GpImage* picture = nullptr;
    if (GdipLoadImageFromFile(chosen, &picture) != Ok || !picture) {
        // Pictures the desktop's decoders do not know still load through the picture registry.
        InsertPictureFile(chosen);
        SetStatus(QStringLiteral("Ready"));
        return;
    }
    const QString png = ScratchPath(QStringLiteral("gifgifgif.png"));
    CLSID encoder;
    FindEncoderByMimeType(QStringLiteral("image/png"), &encoder);
    const GpStatus saved = GdipSaveImageToFile(picture, png, &encoder, nullptr);
    const QImage argb = GdipImageData(picture)->convertToFormat(QImage::Format_ARGB32);
    GdipDisposeImage(picture);
    if (saved != Ok)
        throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(png));
    ImagingControl control(this);
    control.LoadFile(png);
    ++InsertCounter;
    const QString gif = ScratchPath(QStringLiteral("gif%1.gif").arg(InsertCounter));
    // The picture's transparent pixels become the GIF's transparent colour, keyed by a colour
    // that no visible pixel has, so that no visible pixel turns transparent with them.
    const uint32_t key = UnusedKeyColour(argb);
    const int keyBgr = int(((key & 0xFF) << 16) | (key & 0xFF00) | ((key >> 16) & 0xFF));
    control.SaveGif(gif, true, keyBgr);
    open->SetFileName(gif);
    InsertPictureFile(gif);
    SetStatus(QStringLiteral("Ready"));
}

// ---- clipboard ----------------------------------------------------------------------------------

bool TAnimatorForm::ClipboardHasPicture()
{
    return Clipboard()->HasFormat(CF_GIFIMAGE) || Clipboard()->HasFormat(CF_BITMAP);
}

void TAnimatorForm::CopyBtnClick(TObject*)
{
    if (!HasCurrentFrame())
        return;
    TGIFImage one;
    one.AddFrame(image_.get());
    one.EncodeAllFrames();
    Clipboard()->Assign(&one);
    UpdateButtons();
}

void TAnimatorForm::CutBtnClick(TObject* Sender)
{
    if (!HasCurrentFrame())
        return;
    CopyBtnClick(Sender);
    DeleteBtnClick(Sender);
}

void TAnimatorForm::PasteBtnClick(TObject*)
{
    if (!ClipboardHasPicture()) {
        MessageBeep(0);
        UpdateButtons();
        return;
    }
    TPicture picture;
    picture.Assign(Clipboard());
    if (picture.Graphic() && !picture.Graphic()->Empty())
        AddPictureFrame(picture.Graphic());
    SetStatus(QStringLiteral("Ready"));
}

// ---- editing and previews -----------------------------------------------------------------------

void TAnimatorForm::editClick(TObject*)
{
    TGIFFrame* frame = CurrentFrame();
    if (!frame)
        return;
    const QString path = ScratchPath(QStringLiteral("gif%1.bmp").arg(image_->FrameIndex));
    TMemoryStream memory;
    frame->GetBitmap()->SaveToStream(&memory);
    if (!WriteFileAtomically(path, memory.Bytes()))
        throw EFCreateError(QString::fromLatin1(FrameworkText::FCreateError).arg(path));
    if (!FrameEditor()) {
        ShowMessage(QStringLiteral("The frame was written to \"%1\"; no picture editor is available to open it.").arg(path));
        return;
    }
    Hide();
    FrameEditor()(path);
}

void TAnimatorForm::PreviewseeClick(TObject*)
{
    if (!HasCurrentFrame())
        return;
    ShowGifPreview(image_.get());
}

void TAnimatorForm::seeClick(TObject*)
{
    if (image_->GetCount() == 0)
        return;
    // The preview is a copy for the browser in the scratch folder, which a later start empties:
    // the animation keeps its own file, its Save, its changes and the folders its dialogs
    // remember.
    const QString path = ScratchPath(QStringLiteral("gifpreview.gif"));
    {
        TBusyCursor busy;
        WriteGifFile(path);
    }
    SetStatus(QStringLiteral("Ready"));
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        ShowMessage(QStringLiteral("There is no browser to show the animation. Its preview was written to \"%1\".").arg(path));
}

void TAnimatorForm::suiButton6Click(TObject*) { Close(); }

void TAnimatorForm::FormCloseQuery(TObject*, bool& CanClose) { CanClose = AskSaveChanges(); }

void TAnimatorForm::FormActivate(TObject*)
{
    TakeMainWindowSkin(*this);
    if (auto* paste = FindPart<TControl>(this, QStringLiteral("PasteBtn")))
        paste->SetEnabled(ClipboardHasPicture());
}

void TAnimatorForm::HelpButtonClick()
{
    const QString path = ProgramFolder() + QStringLiteral("dodozizozodazo.zed::/6_1.htm");
    if (!HtmlHelp(this, path, HH_DISPLAY_TOC, 0))
        throw EOSError(QStringLiteral("The help file \"%1\" could not be opened.").arg(ProgramFolder() + QStringLiteral("dodozizozodazo.zed")));
}
