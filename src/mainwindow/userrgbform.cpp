#include "mainwindow/userrgbform.h"

#include "document/newiconview.h"
#include "framework/commands.h"
#include "framework/edit.h"
#include "framework/label.h"
#include "framework/sysutils.h"
#include "mainwindow/dialog_skin.h"
#include "mainwindow/iconmain.h"
#include "mainwindow/palette_results.h"
#include "platform/gdip.h"
#include "skin/controls/track_bar.h"

#include <QImage>
#include <algorithm>

TuserRGBForm* userRGBForm = nullptr;

namespace {

const char* const kBars[] = {"RedTrackBar", "GreenTrackBar", "BlueTrackBar"};
const char* const kValueLabels[] = {"REDValueLbl", "GreenValueLbl", "BlueValueLbl"};

} // namespace

TuserRGBForm::TuserRGBForm(QWidget* owner) : TForm(owner)
{
    RegisterMainWindowClasses();
    userRGBForm = this;
    InstallColorBalanceDialog(this);
    LoadDefinition(QStringLiteral(":/mainwindow/userrgbform.wdf"));
    KeepDialogTitleButtons(*this, false);
}

TuserRGBForm::~TuserRGBForm()
{
    InstallColorBalanceDialog(nullptr);
    if (userRGBForm == this)
        userRGBForm = nullptr;
}

TsuiTrackBar* TuserRGBForm::Bar(int k) const
{
    return k >= 1 && k <= 3 ? qobject_cast<TsuiTrackBar*>(FindComponent(QLatin1String(kBars[k - 1]))) : nullptr;
}

bool TuserRGBForm::TakeSourceFrom(TForm* document)
{
    if (!document)
        return false;
    GdipDisposeImage(OriginalImage);
    OriginalImage = nullptr;
    // Pasted pixels still floating are part of the picture the user means.
    if (auto* doc = qobject_cast<Tnewiconview*>(document))
        doc->CommitFloatingPixels();
    ClickComponentByName(document, QStringLiteral("Button5"));
    QImage* pixels = GdipImageData(OriginalImage);
    if (!pixels)
        return false;
    TargetDocument = document;
    source_ = QImageToRGBA(*pixels);
    if (auto* doc = qobject_cast<Tnewiconview*>(document))
        doc->EnsureBaseState();
    return true;
}

void TuserRGBForm::LoadBalanceWorkCopy()
{
    hasResult_ = false;
    for (int k = 1; k <= 3; ++k)
        if (TsuiTrackBar* bar = Bar(k))
            bar->SetPosition(0);
    for (const char* name : kValueLabels)
        if (auto* label = qobject_cast<TLabel*>(FindComponent(QLatin1String(name))))
            label->SetCaption(QStringLiteral("0"));
}

TRGBABuffer TuserRGBForm::Balanced(const TRGBABuffer& source, int red, int green, int blue)
{
    TRGBABuffer out = source;
    const int offset[3] = {red, green, blue};
    for (size_t i = 0; i + 3 < out.Pixels.size(); i += 4) {
        uint8_t* p = out.Pixels.data() + i;
        if (p[3] == 0) {
            p[0] = p[1] = p[2] = 0;
            continue;
        }
        for (int c = 0; c < 3; ++c)
            p[c] = uint8_t(std::clamp(p[c] + offset[c], 0, 255));
    }
    return out;
}

void TuserRGBForm::RedTrackBarChange(TObject*)
{
    for (int k = 1; k <= 3; ++k) {
        TsuiTrackBar* bar = Bar(k);
        if (!bar)
            continue;
        const int position = bar->Position();
        bar->SetHint(QString::number(position));
        if (auto* edit = qobject_cast<TCustomEdit*>(FindComponent(QStringLiteral("text%1").arg(k))))
            if (edit->Text() != QString::number(position))
                edit->SetText(QString::number(position));
        if (auto* label = qobject_cast<TLabel*>(FindComponent(QLatin1String(kValueLabels[k - 1]))))
            label->SetCaption(position > 0 ? QStringLiteral("+%1").arg(position) : QString::number(position));
    }
}

void TuserRGBForm::ValueTyped(int k)
{
    auto* edit = qobject_cast<TCustomEdit*>(FindComponent(QStringLiteral("text%1").arg(k)));
    TsuiTrackBar* bar = Bar(k);
    if (!edit || !bar || Loading())
        return;
    // Not a whole number: the conversion error is shown and the bar stays where it is.
    bar->SetPosition(StrToInt(edit->Text()));
    // A number outside the range shows the value the bar took.
    if (edit->Text() != QString::number(bar->Position()))
        RedTrackBarChange(bar);
}

void TuserRGBForm::RedTrackBarMouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
    SliderPressed = true;
}

void TuserRGBForm::RedTrackBarMouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
    if (!SliderPressed)
        return;
    SliderPressed = false;
    if (source_.Empty())
        return;
    auto position = [this](int k) { return Bar(k) ? Bar(k)->Position() : 0; };
    GdipDisposeImage(ResultBitmap);
    ResultBitmap = GdipImageFromQImage(RGBAToQImage(Balanced(source_, position(1), position(2), position(3))));
    PushBalanceToDocument();
}

bool TuserRGBForm::RunOnTarget(const QString& control)
{
    if (!TargetDocument)
        return false;
    ClickComponentByName(TargetDocument, control);
    return true;
}

void TuserRGBForm::PushBalanceToDocument()
{
    if (ResultBitmap && RunOnTarget(QStringLiteral("Button6"))) {
        FitResultToFormatPalette(TargetDocument);
        hasResult_ = true;
    }
}

void TuserRGBForm::suiButton1Click(TObject*)
{
    OkPressed = 1;
    if (hasResult_)
        if (auto* doc = qobject_cast<Tnewiconview*>(TargetDocument.data())) {
            doc->DropRedoTail();
            doc->RecordStep();
        }
    hasResult_ = false;
    Close();
}

void TuserRGBForm::suiButton2Click(TObject*)
{
    for (int k = 1; k <= 3; ++k)
        if (TsuiTrackBar* bar = Bar(k))
            bar->SetPosition(0);
    RunOnTarget(QStringLiteral("Button7"));
    hasResult_ = false;
}

void TuserRGBForm::suiButton3Click(TObject*)
{
    suiButton2Click(this);
    Close();
}

void TuserRGBForm::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void TuserRGBForm::FormClose(TObject*, TCloseAction& Action)
{
    Action = caHide;
    if (!OkPressed)
        RunOnTarget(QStringLiteral("Button7"));
    OkPressed = 0;
    hasResult_ = false;
}
