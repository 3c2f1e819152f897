#include "framework/dialogs.h"

#include "framework/application.h"
#include "framework/forms.h"
#include "framework/modal_scope.h"

#include <QApplication>
#include <QGuiApplication>
#include <QGridLayout>
#include <QWindow>
#include <QMessageBox>
#include <QPushButton>

namespace {

TDialogAnswerer& Answerer()
{
    static TDialogAnswerer answerer;
    return answerer;
}

} // namespace

void SetDialogAnswerer(TDialogAnswerer answerer) { Answerer() = std::move(answerer); }

bool AnswerDialog(TDialogRequest& request)
{
    if (!Answerer())
        return false;
    // The answerer is copied: it may replace itself while answering.
    TDialogAnswerer a = Answerer();
    return a(request);
}

bool AnswerModalForm(TForm* form, int& modalResult)
{
    TDialogRequest r;
    r.Kind = TDialogRequest::dkForm;
    r.Dialog = form;
    r.Caption = form->Caption();
    if (!AnswerDialog(r))
        return false;
    modalResult = r.Result;
    return true;
}

namespace {

// Changes the layer of a window in place: the window system is told through the native window,
// which stays mapped where it is (setting the widget's flags would hide and re-create it).
void SetStaysOnTop(QWidget* window, bool on)
{
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    window->overrideWindowFlags(flags);
    if (QWindow* native = window->windowHandle())
        native->setFlags(flags);
}

} // namespace

TModalAboveScope::TModalAboveScope(const QWidget* dialog)
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w == dialog || !w->isVisible() || !(w->windowFlags() & Qt::WindowStaysOnTopHint))
            continue;
        // Hints, tool tips, popups and in-place editors come and go with the control they serve.
        const Qt::WindowType type = w->windowType();
        if ((type != Qt::Window && type != Qt::Dialog && type != Qt::Tool) || (w->windowFlags() & Qt::WindowDoesNotAcceptFocus))
            continue;
        SetStaysOnTop(w, false);
        lowered_.emplace_back(w);
    }
}

TModalAboveScope::~TModalAboveScope()
{
    for (const QPointer<QWidget>& w : lowered_)
        if (w)
            SetStaysOnTop(w, true);
}

TDialogAnswererScope::TDialogAnswererScope(TDialogAnswerer answerer) : previous_(Answerer())
{
    Answerer() = std::move(answerer);
}

TDialogAnswererScope::~TDialogAnswererScope() { Answerer() = std::move(previous_); }

bool HeadlessPlatform()
{
    const QString p = QGuiApplication::platformName();
    return p == QLatin1String("offscreen") || p == QLatin1String("minimal");
}

QWidget* DialogOwner()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

namespace {

int CancelAnswer(unsigned buttons)
{
    switch (buttons & 0xF) {
    case MB_OK: return IDOK;
    case MB_ABORTRETRYIGNORE: return IDABORT;
    case MB_YESNO: return IDNO;
    default: return IDCANCEL;
    }
}

QMessageBox::Icon IconFor(unsigned flags)
{
    switch (flags & 0xF0) {
    case MB_ICONSTOP: return QMessageBox::Critical;
    case MB_ICONQUESTION: return QMessageBox::Question;
    case MB_ICONWARNING: return QMessageBox::Warning;
    case MB_ICONINFORMATION: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
    }
}

struct ButtonSpec {
    int result;
    const char* caption;
};

} // namespace

void FitCaption(QMessageBox& box)
{
    QFont title = box.font();
    title.setBold(true);
    // The caption in a bold title font, the window icon and three title buttons.
    const int needed = QFontMetrics(title).horizontalAdvance(box.windowTitle()) * 5 / 4 + 120;
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(needed, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
}

namespace {

int RunMessageBox(const QString& text, const QString& caption, QMessageBox::Icon icon,
                  const QList<ButtonSpec>& buttons, int defaultIndex, int escapeResult)
{
    QMessageBox box(icon, caption, text, QMessageBox::NoButton, DialogOwner());
    QList<QPair<QAbstractButton*, int>> map;
    for (int i = 0; i < buttons.size(); ++i) {
        QPushButton* b = box.addButton(QString::fromLatin1(buttons[i].caption), QMessageBox::ActionRole);
        map << qMakePair(static_cast<QAbstractButton*>(b), buttons[i].result);
        if (i == defaultIndex)
            box.setDefaultButton(b);
        if (buttons[i].result == escapeResult)
            box.setEscapeButton(b);
    }
    FitCaption(box);
    box.exec();
    for (const auto& m : map)
        if (box.clickedButton() == m.first)
            return m.second;
    return escapeResult;
}

} // namespace

int MessageBox(const QString& text, const QString& caption, unsigned flags)
{
    TModalAboveScope above;
    TDialogRequest r;
    r.Kind = TDialogRequest::dkMessageBox;
    r.Caption = caption;
    r.Text = text;
    r.Flags = flags;
    if (AnswerDialog(r))
        return r.Result;
    const unsigned kind = flags & 0xF;
    if (HeadlessPlatform()) {
        qWarning("Unanswered message box \"%s\": %s", qPrintable(caption), qPrintable(text));
        return CancelAnswer(kind);
    }
    QList<ButtonSpec> buttons;
    switch (kind) {
    case MB_OKCANCEL: buttons = {{IDOK, "OK"}, {IDCANCEL, "Cancel"}}; break;
    case MB_ABORTRETRYIGNORE: buttons = {{IDABORT, "&Abort"}, {IDRETRY, "&Retry"}, {IDIGNORE, "&Ignore"}}; break;
    case MB_YESNOCANCEL: buttons = {{IDYES, "&Yes"}, {IDNO, "&No"}, {IDCANCEL, "Cancel"}}; break;
    case MB_YESNO: buttons = {{IDYES, "&Yes"}, {IDNO, "&No"}}; break;
    case MB_RETRYCANCEL: buttons = {{IDRETRY, "&Retry"}, {IDCANCEL, "Cancel"}}; break;
    default: buttons = {{IDOK, "OK"}}; break;
    }
    const int def = int((flags >> 8) & 0xF);
    return RunMessageBox(text, caption, IconFor(flags), buttons, def, CancelAnswer(kind));
}

int MessageDlg(const QString& msg, TMsgDlgType type, TMsgDlgButtons buttons, int helpContext)
{
    TModalAboveScope above;
    Q_UNUSED(helpContext);
    static const char* const captions[] = {"Warning", "Error", "Information", "Confirm", ""};
    const QString caption = type == mtCustom ? Application->Title() : QString::fromLatin1(captions[type]);
    TDialogRequest r;
    r.Kind = TDialogRequest::dkMessageDlg;
    r.Caption = caption;
    r.Text = msg;
    r.Flags = unsigned(type) | (buttons << 8);
    if (AnswerDialog(r))
        return r.Result;
    // Escape gives Cancel when there is one, else No, else OK.
    const int escape = (buttons & (1u << mbCancel)) ? mrCancel
                       : (buttons & (1u << mbNo))   ? mrNo
                       : (buttons & (1u << mbOK))   ? mrOk
                                                    : mrCancel;
    if (HeadlessPlatform()) {
        qWarning("Unanswered message dialog \"%s\": %s", qPrintable(caption), qPrintable(msg));
        return escape;
    }
    static const ButtonSpec specs[] = {
        {mrYes, "&Yes"},     {mrNo, "&No"},         {mrOk, "OK"},
        {mrCancel, "Cancel"}, {mrAbort, "&Abort"},   {mrRetry, "&Retry"},
        {mrIgnore, "&Ignore"}, {mrAll, "&All"},      {mrNoToAll, "N&o to All"},
        {mrYesToAll, "Yes to &All"}, {mrNone, "&Help"},
    };
    QList<ButtonSpec> list;
    for (int b = mbYes; b <= mbYesToAll; ++b)
        if (buttons & (1u << b))
            list << specs[b];
    if (list.isEmpty())
        list << specs[mbOK];
    static const QMessageBox::Icon icons[] = {QMessageBox::Warning, QMessageBox::Critical,
                                              QMessageBox::Information, QMessageBox::Question,
                                              QMessageBox::NoIcon};
    return RunMessageBox(msg, caption, icons[type], list, 0, escape);
}

void ShowMessage(const QString& msg)
{
    MessageBox(msg, Application->Title(), MB_OK);
}
