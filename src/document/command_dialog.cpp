#include "document/command_dialog.h"

#include "document/editor_state.h"
#include "document/newiconview.h"
#include "framework/application.h"
#include "framework/commands.h"
#include "framework/forms.h"
#include "framework/sysutils.h"
#include "imaging/bitmap/bitmap32.h"
#include "skin/file_theme.h"
#include "skin/form.h"
#include "skin/theme_manager.h"
#include "skin/title_bar.h"

#include <QImage>

void KeepAsSecondaryWindow(TForm& form)
{
    if (Application->MainForm() == &form)
        Application->SetMainForm(nullptr);
}

void KeepDialogTitleButtons(TForm& dialog, bool help)
{
    auto* form = qobject_cast<TsuiForm*>(dialog.FindComponent(QStringLiteral("suiForm1")));
    TsuiTitleBarCollection* buttons = form ? form->TitleBarButtons() : nullptr;
    if (!buttons)
        return;
    bool hasHelp = false;
    for (int i = 0; i < buttons->Count(); ++i)
        if (auto* button = dynamic_cast<TsuiTitleBarButton*>(buttons->Items(i))) {
            if (button->ButtonType() == suiMax || button->ButtonType() == suiMin)
                button->SetVisible(false);
            hasHelp = hasHelp || button->ButtonType() == suiHelp;
        }
    if (help && !hasHelp)
        if (auto* button = dynamic_cast<TsuiTitleBarButton*>(buttons->Add()))
            button->SetButtonType(suiHelp);
}

void TakeMainWindowSkin(TForm& form)
{
    TEditorState* s = EditorState();
    if (!s)
        return;
    if (auto* theme = qobject_cast<TsuiFileTheme*>(form.FindComponent(QStringLiteral("suiFileTheme1"))))
        theme->SetThemeFile(s->MainThemeFile());
    if (auto* manager = qobject_cast<TsuiThemeManager*>(form.FindComponent(QStringLiteral("suiThemeManager1"))))
        manager->SetUIStyle(TsuiUIStyle(s->MainUIStyle()));
}

Tnewiconview* ActiveDocument()
{
    TEditorState* s = EditorState();
    return s ? qobject_cast<Tnewiconview*>(FindForm(s->ActiveDocumentName)) : nullptr;
}

bool ClickActiveDocument(const QString& control)
{
    TEditorState* s = EditorState();
    return s && RunCommandByName(s->ActiveDocumentName, control);
}

void FillWithTile(TBitmap32& bitmap, const TRect& area)
{
    static const QImage tile = QImage(QStringLiteral(":/document/checker.png")).convertToFormat(QImage::Format_ARGB32);
    const int x1 = std::max(area.Left, 0), y1 = std::max(area.Top, 0);
    const int x2 = std::min(area.Right, bitmap.Width()), y2 = std::min(area.Bottom, bitmap.Height());
    for (int y = y1; y < y2; ++y)
        for (int x = x1; x < x2; ++x)
            *bitmap.PixelAddress(x, y) = tile.isNull() ? 0xFFFFFFFF
                                                       : tile.pixel(x % tile.width(), y % tile.height()) | 0xFF000000;
    bitmap.Changed();
}

uint32_t EditorColor(const QString& prefix)
{
    TEditorState* s = EditorState();
    if (!s)
        return 0;
    auto part = [&](const char* c) { return uint32_t(StrToInt(s->EditText(prefix + QLatin1String(c)))) & 0xFF; };
    return part("a") << 24 | part("r") << 16 | part("g") << 8 | part("b");
}
