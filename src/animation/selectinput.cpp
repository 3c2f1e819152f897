#include "animation/selectinput.h"

#include "animation/animation_skin.h"
#include "document/command_dialog.h"
#include "animation/editani.h"
#include "mainwindow/dialog_skin.h"
#include "document/scratch_folder.h"
#include "framework/canvas.h"
#include "framework/edit.h"
#include "framework/list_box.h"
#include "framework/string_list.h"
#include "imaging/icons/file_icon.h"

#include <algorithm>

Tselectinput* selectinput = nullptr;

Tselectinput* FramePicker()
{
    if (!selectinput)
        selectinput = new Tselectinput;
    return selectinput;
}

Tselectinput::Tselectinput(QWidget* owner) : TForm(owner)
{
    RegisterAnimationClasses();
    LoadDefinition(QStringLiteral(":/animation/selectinput.wdf"));
    KeepDialogTitleButtons(*this, false);
}

Tselectinput::~Tselectinput()
{
    if (selectinput == this)
        selectinput = nullptr;
}

void Tselectinput::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}

void Tselectinput::SetIconPath(const QString& path)
{
    if (auto* edit = qobject_cast<TCustomEdit*>(FindComponent(QStringLiteral("Edit1"))))
        edit->SetText(path);
    // Setting the same text again changes nothing, yet the file may have changed: read it anyway.
    Edit1Change(nullptr);
}

QString Tselectinput::DepthName(int bitCount)
{
    switch (bitCount) {
    case 1: return QStringLiteral("Mono (1 bit)");
    case 4: return QStringLiteral("16 (4 bit)");
    case 8: return QStringLiteral("256 (8 bit)");
    case 24: return QStringLiteral("16.8M (24 bit)");
    case 32: return QStringLiteral("XP (32 bit)");
    default: return QString::number(bitCount);
    }
}

QString Tselectinput::ItemText(int index)
{
    uint8_t entry[IconEntryCommonSize] = {};
    if (!IconFile || !IconFile->GetEntry(uint16_t(index), entry))
        return QString();
    return QStringLiteral("%1 * %2 - %3").arg(entry[0]).arg(entry[1]).arg(DepthName(entry[6] | entry[7] << 8));
}

void Tselectinput::Edit1Change(TObject*)
{
    auto* edit = qobject_cast<TCustomEdit*>(FindComponent(QStringLiteral("Edit1")));
    auto* list = qobject_cast<TCustomListBox*>(FindComponent(QStringLiteral("IconListBox")));
    if (!edit || !list)
        return;
    auto icon = std::make_unique<TFileIcon>(edit->Text().trimmed());
    if (!icon->Valid())
        return;
    IconFile = std::move(icon);
    list->Items()->Clear();
    int height = 1;
    for (uint16_t i = 0; i < IconFile->Count(); ++i) {
        list->Items()->Add(QString::number(i + 1));
        uint8_t entry[IconEntryCommonSize] = {};
        if (IconFile->GetEntry(i, entry))
            height = std::max({height, int(entry[0]), int(entry[1])});
    }
    list->SetItemHeight(height);
    list->update();
}

void Tselectinput::IconListBoxDrawItem(TWinControl* Control, int Index, TRect Rect, TOwnerDrawState)
{
    auto* list = qobject_cast<TCustomListBox*>(Control);
    if (!list || !IconFile)
        return;
    TCanvas* canvas = list->Canvas();
    canvas->FillRect(Rect);
    const int side = list->ItemHeight();
    if (Rect.Left == 0) {
        int w = 0, h = 0;
        IconFile->GetImageSize(uint16_t(Index), w, h);
        IconFile->DrawImage(canvas, Rect.Left + (side - w) / 2, Rect.Top + (side - h) / 2, uint16_t(Index));
    }
    const QString text = ItemText(Index);
    canvas->TextOut(Rect.Left + side + 7, Rect.Top + (Rect.Height() - canvas->TextHeight(text)) / 2, text);
}

void Tselectinput::suiButton1Click(TObject*)
{
    auto* list = qobject_cast<TCustomListBox*>(FindComponent(QStringLiteral("IconListBox")));
    const int index = list ? list->ItemIndex() : -1;
    if (index >= 0 && IconFile && index < IconFile->Count()) {
        const QString path = ScratchPath(QStringLiteral("openicook.ico"));
        IconFile->SaveImageToFile(path, uint16_t(index));
        AniBuilder()->AddAniFrame(path, QStringLiteral("open"));
    }
    SetModalResult(mrOk);
    Close();
}

void Tselectinput::IconListBoxDblClick(TObject* Sender)
{
    suiButton1Click(Sender);
}

void Tselectinput::suiButton2Click(TObject*)
{
    SetModalResult(mrCancel);
    Close();
}
