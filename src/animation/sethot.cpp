#include "animation/sethot.h"

#include "animation/animated_cursor.h"
#include "animation/animation_skin.h"
#include "document/command_dialog.h"
#include "animation/editani.h"
#include "animation/slot_picture.h"
#include "mainwindow/dialog_skin.h"
#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/image.h"
#include "framework/sysutils.h"
#include "mainwindow/web_window.h"
#include "skin/controls/spin_edit.h"
#include "skin/controls/url_label.h"

#include <QPainter>

Tsethot* sethot = nullptr;

Tsethot* HotSpotDialog()
{
    if (!sethot)
        sethot = new Tsethot;
    return sethot;
}

Tsethot::Tsethot(QWidget* owner) : TForm(owner)
{
    RegisterAnimationClasses();
    LoadDefinition(QStringLiteral(":/animation/sethot.wdf"));
    KeepDialogTitleButtons(*this, false);
    SetImage(qobject_cast<TImage*>(FindComponent(QStringLiteral("bgimage"))), CheckerTile());
    ShowPreview(SlotPicture(QImage()), -100, -100);
    // The sample page's links open in the program's own web window, not in another browser.
    for (const char* name : {"URLLabel1", "URLLabel2", "URLLabel3", "URLLabel4"}) {
        if (auto* link = qobject_cast<TsuiURLLabel*>(FindComponent(QLatin1String(name)))) {
            const QString url = link->URL();
            link->SetURL(QString());
            link->OnClick = [url](TObject*) { OpenWebPage(url, false); };
        }
    }
}

Tsethot::~Tsethot()
{
    if (sethot == this)
        sethot = nullptr;
}

void Tsethot::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

QImage Tsethot::Preview() const
{
    return ImageOf(qobject_cast<TImage*>(FindComponent(QStringLiteral("Image1"))));
}

void Tsethot::ShowPreview(const QImage& slotPicture, int x, int y)
{
    QImage picture = SlotPicture(QImage());
    {
        QPainter painter(&picture);
        painter.drawImage(0, 0, slotPicture);
    }
    DrawHotSpotMark(picture, x, y);
    auto* image = qobject_cast<TImage*>(FindComponent(QStringLiteral("Image1")));
    SetImage(image, picture);
    if (image)
        image->repaint();
}

void Tsethot::ShowForBuilder(const QImage& slotPicture, int x, int y)
{
    ForCursor = false;
    Show();
    ShowPreview(slotPicture, x, y);
}

void Tsethot::ShowForCursor(const QImage& cursorPicture, int x, int y)
{
    ForCursor = true;
    Show();
    ShowPreview(SlotPicture(cursorPicture), x, y);
}

int Tsethot::Coordinate(const char* name, const char* axis)
{
    auto* edit = qobject_cast<TsuiSpinEdit*>(FindComponent(QLatin1String(name)));
    int value = -1;
    if (edit && TryStrToInt(edit->Text().trimmed(), value) && value >= 0 && value <= 31)
        return value;
    MessageDlg(QStringLiteral("The hot spot's %1 must be a whole number from 0 to 31.").arg(QLatin1String(axis)),
               mtWarning, MsgDlgButtons({mbOK}));
    return -1;
}

void Tsethot::suiButton1Click(TObject*)
{
    const int x = Coordinate("setx", "X");
    if (x < 0)
        return;
    const int y = Coordinate("sety", "Y");
    if (y < 0)
        return;
    if (ForCursor) {
        if (TEditorState* state = EditorState()) {
            state->HotSpotX = x;
            state->HotSpotY = y;
        }
        // The editor-wide hot spot only shows the active document's: the document writes its own
        // into its cursors.
        if (Tnewiconview* doc = ActiveDocument())
            doc->SetCursorHotSpot(QPoint(x, y));
        RunCommandByName(QStringLiteral("iconmain"), QStringLiteral("ToolButton18"));
        return;
    }
    Teditani* builder = AniBuilder();
    builder->SetHotSpot(x, y);
    ShowPreview(builder->SlotImage(1), x, y);
    builder->SpeedItem5Click(nullptr);
}

void Tsethot::suiButton4Click(TObject*)
{
    TAnimatedCursor::Instance().Stop();
    Close();
}
