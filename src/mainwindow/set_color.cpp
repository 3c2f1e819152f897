#include "mainwindow/set_color.h"

#include "document/newiconview.h"
#include "document/scratch_folder.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/edit.h"
#include "framework/exceptions.h"
#include "framework/label.h"
#include "framework/sysutils.h"
#include "imaging/toolkit/imaging_control.h"
#include "mainwindow/dialog_skin.h"
#include "mainwindow/document_windows.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/palette_results.h"
#include "platform/gdip.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"
#include "skin/controls/track_bar.h"
#include "skin/form.h"

#include <QImage>
#include <QRandomGenerator>
#include <cerrno>
#include <cstring>

Tset_color* set_color = nullptr;

namespace {

void Tell(const QString& text)
{
    MessageDlg(text, mtWarning, MsgDlgButtons({mbOK}));
}

TRGBABuffer PixelsOf(GpImage* image)
{
    QImage* pixels = GdipImageData(image);
    return pixels ? QImageToRGBA(*pixels) : TRGBABuffer();
}

} // namespace

Tset_color::Tset_color(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    set_color = this;
    InstallEffectsDialog(this);
    LoadDefinition(QStringLiteral(":/mainwindow/set_color.wdf"));
}

Tset_color::~Tset_color()
{
    InstallEffectsDialog(nullptr);
    if (set_color == this)
        set_color = nullptr;
}

TsuiTrackBar* Tset_color::Slider(int k) const
{
    return qobject_cast<TsuiTrackBar*>(FindComponent(QStringLiteral("v%1").arg(k)));
}

void Tset_color::FormCreate(TObject*)
{
    SliderTouched = 1;
    KeepDialogTitleButtons(*this, true);
    TakeMainWindowSkin(*this);
}

void Tset_color::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

bool Tset_color::TakeSourceFrom(TForm* document)
{
    if (!document)
        return false;
    // A preview left showing by the effect before is kept: it becomes a step of its own.
    if (hasResult_) {
        RecordUndoStep();
        hasResult_ = false;
    }
    GdipDisposeImage(OriginalImage);
    OriginalImage = nullptr;
    // Pasted pixels still floating are part of the picture the user means.
    if (auto* doc = qobject_cast<Tnewiconview*>(document))
        doc->CommitFloatingPixels();
    ClickComponentByName(document, QStringLiteral("Button2"));
    if (!OriginalImage)
        return false;
    TargetDocument = document;
    targetFormat_ = targetWidth_ = targetHeight_ = 0;
    targetKind_.clear();
    if (auto* doc = qobject_cast<Tnewiconview*>(document)) {
        targetFormat_ = doc->CurrentFormat();
        targetWidth_ = doc->CurrentWidth;
        targetHeight_ = doc->CurrentHeight;
        targetKind_ = doc->CurrentKind;
        // Undo in the document can still reach the picture from before the effect.
        doc->EnsureBaseState();
    }
    return true;
}

bool Tset_color::SetupFilterEffect(int code)
{
    return Setup(code);
}

bool Tset_color::SetupDistortEffect(int code)
{
    // The document restores a geometric effect's source from this file.
    const QString path = ScratchPath(QStringLiteral("gif88gif.png"));
    CLSID png;
    if (!OriginalImage || FindEncoderByMimeType(QStringLiteral("image/png"), &png) < 0 ||
        GdipSaveImageToFile(OriginalImage, path, &png, nullptr) != Ok) {
        Tell(QStringLiteral("The picture from before the effect cannot be kept in ") + path);
        return false;
    }
    return Setup(code);
}

bool Tset_color::Setup(int code)
{
    const TEffectSpec* spec = FindEffect(code);
    source_ = PixelsOf(OriginalImage);
    if (!spec || source_.Empty())
        return false;
    EffectCode = code;
    hasResult_ = false;
    delete EffectControl;
    EffectControl = new ImagingControl(this);
    EffectControl->setObjectName(QStringLiteral("EffectControl"));
    if (auto* box = qobject_cast<TWinControl*>(FindComponent(QStringLiteral("ScrollBox2")))) {
        box->SetBounds(box->Left(), box->Top(), source_.Width + 30, source_.Height + 30);
        EffectControl->SetParent(box);
    }
    EffectControl->SetBorderStyle(2);
    EffectControl->SetAlign(alClient);
    EffectControl->OnEUnrecognizedFormat = [](TObject*) {
        MessageBox(QStringLiteral("Unable to load image (unsupported format)"), QStringLiteral("Brelnova Studio"),
                   MB_OK);
    };
    EffectControl->OnESelectionStart = [this](TObject*) { EffectControl->SetMousePointer(1); };
    EffectControl->OnESelectionEnd = [this](TObject*) { EffectControl->SetMousePointer(2); };
    EffectControl->PrepareView();
    EffectControl->LoadPicture(source_);
    if (spec->Mode == TEffectMode::Dialog)
        ShowLayout(*spec);
    return true;
}

void Tset_color::ShowLayout(const TEffectSpec& spec)
{
    const int count = SliderCount(spec.Layout);
    for (int k = 1; k <= 3; ++k) {
        const bool shown = k <= count;
        if (auto* label = qobject_cast<TControl*>(FindComponent(QStringLiteral("l%1").arg(k))))
            label->SetVisible(shown);
        if (TsuiTrackBar* slider = Slider(k))
            slider->SetVisible(shown);
        const bool box = shown && !(spec.Layout == TSliderLayout::Mosaic && k == 2);
        if (auto* edit = qobject_cast<TControl*>(FindComponent(QStringLiteral("text%1").arg(k))))
            edit->SetVisible(box);
        if (shown) {
            const TEffectSlider& s = spec.Sliders[size_t(k - 1)];
            SetSliderRange(k, s.Min, s.Max, QLatin1String(s.Name), s.Default);
        }
    }
    FitHeight(spec.Height);
    const QString title = QLatin1String(spec.Title);
    SetCaption(title);
    if (auto* form = qobject_cast<TsuiForm*>(FindComponent(QStringLiteral("suiForm1"))))
        form->SetCaption(title);
}

void Tset_color::FitHeight(int height)
{
    // The heights of the table leave 22 pixels each for a title bar and the button bar; a skin
    // with a taller title bar makes the window taller by the difference, so that no row is cut.
    DesignHeight = height;
    SetBounds(Left(), Top(), 447, height);
    auto* rows = qobject_cast<TControl*>(FindComponent(QStringLiteral("Panel2")));
    const int missing = rows ? (height - 2 * 22) - rows->Height() : 0;
    if (missing > 0)
        SetBounds(Left(), Top(), 447, height + missing);
}

void Tset_color::SetSliderRange(int k, int minimum, int maximum, const QString& name, int position)
{
    TsuiTrackBar* slider = Slider(k);
    if (!slider || k < 1 || k > 3)
        return;
    SliderNames[size_t(k - 1)] = name;
    // Widen first, so that neither bound is held by the other's old value.
    slider->SetMin(std::min(minimum, slider->Min()));
    slider->SetMax(maximum);
    slider->SetMin(minimum);
    slider->SetPosition(position);
    // The label shows the slider's real value from the start, even when no change was reported.
    SliderChanged(k);
}

void Tset_color::SliderChanged(int k)
{
    TsuiTrackBar* slider = Slider(k);
    if (!slider)
        return;
    SliderTouched = 2;
    const QString value = QString::number(slider->Position());
    slider->SetHint(value);
    if (auto* label = qobject_cast<TLabel*>(FindComponent(QStringLiteral("l%1").arg(k))))
        label->SetCaption(SliderNames[size_t(k - 1)] + QStringLiteral(": ") + value);
    if (auto* edit = qobject_cast<TCustomEdit*>(FindComponent(QStringLiteral("text%1").arg(k))))
        if (edit->Text() != value)
            edit->SetText(value);
}

void Tset_color::ValueTyped(int k)
{
    auto* edit = qobject_cast<TCustomEdit*>(FindComponent(QStringLiteral("text%1").arg(k)));
    TsuiTrackBar* slider = Slider(k);
    if (!edit || !slider || Loading())
        return;
    // Not a whole number: the conversion error is shown and the slider stays where it is.
    const int typed = StrToInt(edit->Text());
    slider->SetPosition(typed);
    // A number outside the range shows the value the slider took.
    if (edit->Text() != QString::number(slider->Position()))
        SliderChanged(k);
}

void Tset_color::SliderReleased(int k)
{
    bool& pressed = SliderPressed[size_t(k - 1)];
    if (!pressed)
        return;
    pressed = false;
    RunCurrentEffect();
}

TSliderPositions Tset_color::Positions() const
{
    TSliderPositions s{};
    for (int k = 1; k <= 3; ++k)
        if (TsuiTrackBar* slider = Slider(k); slider && slider->Visible())
            s[size_t(k - 1)] = slider->Position();
    return s;
}

void Tset_color::RunCurrentEffect()
{
    const TEffectSpec* spec = FindEffect(EffectCode);
    if (!spec || !EffectControl || source_.Empty())
        return;
    // One seed serves the whole of one result.
    const TRGBABuffer result =
        ComputeEffect(*spec, *EffectControl, source_, Positions(), MaskColor, QRandomGenerator::global()->generate());
    if (result.Empty())
        return;
    GdipDisposeImage(PreviewBitmap);
    PreviewBitmap = GdipImageFromQImage(RGBAToQImage(result));
    PushPreviewToDocument();
}

bool Tset_color::OnSourceFormat(const std::function<void(TForm& document)>& work)
{
    if (!TargetDocument) {
        Tell(QStringLiteral("The document the effect was opened for is closed."));
        return false;
    }
    auto* doc = qobject_cast<Tnewiconview*>(TargetDocument.data());
    if (!doc || doc->CurrentFormat() == targetFormat_) {
        work(*TargetDocument);
        // The target may stand behind the document in front, whose state the main window shows.
        if (iconmain)
            ShowActiveDocumentState(*iconmain);
        return true;
    }
    // The user went on to another format: the preview, its restore and its undo step still
    // belong to the one the effect was opened for, found by its place, size and kind.
    const TFormatTable& t = doc->FormatTable;
    if (targetFormat_ < 1 || targetFormat_ > doc->FormatCount() || t.Width(targetFormat_) != QString::number(targetWidth_) ||
        t.Height(targetFormat_) != QString::number(targetHeight_) || t.Kind(targetFormat_) != targetKind_) {
        Tell(QStringLiteral("The image format the effect was opened for is no longer in the document."));
        return false;
    }
    const int shown = doc->CurrentFormat();
    const int shownWidth = doc->CurrentWidth, shownHeight = doc->CurrentHeight;
    const QString shownKind = doc->CurrentKind;
    doc->FormatTable.SetCurrentFormat(targetFormat_);
    doc->CurrentWidth = targetWidth_;
    doc->CurrentHeight = targetHeight_;
    doc->CurrentKind = targetKind_;
    work(*doc);
    doc->FormatTable.SetCurrentFormat(shown);
    doc->CurrentWidth = shownWidth;
    doc->CurrentHeight = shownHeight;
    doc->CurrentKind = shownKind;
    // The format in front is drawn again, and the main window shows its undo state, not the
    // state of the format just worked on.
    doc->RebuildView();
    doc->UpdateThumbnails();
    doc->RepaintFormatList();
    if (iconmain)
        ShowActiveDocumentState(*iconmain);
    return true;
}

bool Tset_color::RunOnTarget(const QString& control)
{
    return OnSourceFormat([&control](TForm& document) { ClickComponentByName(&document, control); });
}

bool Tset_color::PushPreviewToDocument()
{
    if (!PreviewBitmap)
        return false;
    const bool pushed = OnSourceFormat([](TForm& document) {
        ClickComponentByName(&document, QStringLiteral("Button3"));
        FitResultToFormatPalette(&document);
    });
    if (pushed)
        hasResult_ = true;
    return pushed;
}

void Tset_color::RestoreDocument()
{
    RunOnTarget(QStringLiteral("Button4"));
    hasResult_ = false;
}

void Tset_color::RecordUndoStep()
{
    OnSourceFormat([](TForm& document) {
        if (auto* doc = qobject_cast<Tnewiconview*>(&document)) {
            doc->DropRedoTail();
            doc->RecordStep();
        }
    });
}

void Tset_color::suiButton1Click(TObject*)
{
    if (hasResult_ && PushPreviewToDocument()) {
        RecordUndoStep();
        // The result is the document's own now: a later close must not take it back.
        hasResult_ = false;
    }
    closingByOk_ = true;
    Close();
    closingByOk_ = false;
}

void Tset_color::suiButton2Click(TObject*)
{
    if (const TEffectSpec* spec = FindEffect(EffectCode); spec && spec->HasUndoPositions)
        for (int k = 1; k <= SliderCount(spec->Layout); ++k)
            if (TsuiTrackBar* slider = Slider(k))
                slider->SetPosition(spec->UndoPositions[size_t(k - 1)]);
    RestoreDocument();
}

void Tset_color::suiButton3Click(TObject*)
{
    suiButton2Click(this);
    Close();
}

void Tset_color::FormClose(TObject*, TCloseAction& Action)
{
    Action = caHide;
    if (closingByOk_)
        return;
    // Closed any other way, the document goes back to its source image.
    if (hasResult_)
        RestoreDocument();
}

void Tset_color::suiForm1TitleBarHelpBtnClick(TObject*, int)
{
    const QString path = ProgramFolder() + QStringLiteral("dodozizozodazo.zed::/2_1.htm#FiltersMenu");
    if (!HtmlHelp(this, path, HH_DISPLAY_TOC, 0))
        throw EOSError(QStringLiteral("System Error.  Code: %1.\n%2").arg(errno).arg(QString::fromLocal8Bit(std::strerror(errno))));
}
