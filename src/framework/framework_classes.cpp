// The framework's own component classes and integer identifiers, registered with the definition
// reader on its first use.

#include "framework/bevel.h"
#include "framework/bit_btn.h"
#include "framework/button.h"
#include "framework/check_box.h"
#include "framework/combo_box.h"
#include "framework/common_dialogs.h"
#include "framework/definition_reader.h"
#include "framework/edit.h"
#include "framework/forms.h"
#include "framework/group_box.h"
#include "framework/image.h"
#include "framework/imagelist.h"
#include "framework/label.h"
#include "framework/list_box.h"
#include "framework/list_view.h"
#include "framework/memo.h"
#include "framework/menus.h"
#include "framework/page_control.h"
#include "framework/paint_box.h"
#include "framework/panel.h"
#include "framework/scroll_bar.h"
#include "framework/scroll_box.h"
#include "framework/speed_button.h"
#include "framework/splitter.h"
#include "framework/status_bar.h"
#include "framework/timer.h"
#include "framework/tool_bar.h"
#include "framework/tree_view.h"
#include "framework/up_down.h"

#include <QImage>

void RegisterFrameworkClasses()
{
    RegisterComponentClass<TPanel>("TPanel");
    RegisterComponentClass<TLabel>("TLabel");
    RegisterComponentClass<TStaticText>("TStaticText");
    RegisterComponentClass<TButton>("TButton");
    RegisterComponentClass<TBitBtn>("TBitBtn");
    RegisterComponentClass<TImage>("TImage");
    RegisterComponentClass<TPaintBox>("TPaintBox");
    RegisterComponentClass<TEdit>("TEdit");
    RegisterComponentClass<TMaskEdit>("TMaskEdit");
    RegisterComponentClass<TCheckBox>("TCheckBox");
    RegisterComponentClass<TRadioButton>("TRadioButton");
    RegisterComponentClass<TTimer>("TTimer");
    RegisterComponentClass<TMainMenu>("TMainMenu");
    RegisterComponentClass<TPopupMenu>("TPopupMenu");
    RegisterComponentClass<TMenuItem>("TMenuItem");
    RegisterComponentClass<TBevel>("TBevel");
    RegisterComponentClass<TShape>("TShape");
    RegisterComponentClass<TSpeedButton>("TSpeedButton");
    RegisterComponentClass<TMemo>("TMemo");
    RegisterComponentClass<TComboBox>("TComboBox");
    RegisterComponentClass<TListBox>("TListBox");
    RegisterComponentClass<TGroupBox>("TGroupBox");
    RegisterComponentClass<TRadioGroup>("TRadioGroup");
    RegisterComponentClass<TScrollBox>("TScrollBox");
    RegisterComponentClass<TScrollBar>("TScrollBar");
    RegisterComponentClass<TTrackBar>("TTrackBar");
    RegisterComponentClass<TProgressBar>("TProgressBar");
    RegisterComponentClass<TUpDown>("TUpDown");
    RegisterComponentClass<TPageControl>("TPageControl");
    RegisterComponentClass<TTabSheet>("TTabSheet");
    RegisterComponentClass<TTabControl>("TTabControl");
    RegisterComponentClass<TListView>("TListView");
    RegisterComponentClass<TTreeView>("TTreeView");
    RegisterComponentClass<TStatusBar>("TStatusBar");
    RegisterComponentClass<TToolBar>("TToolBar");
    RegisterComponentClass<TToolButton>("TToolButton");
    RegisterComponentClass<TSplitter>("TSplitter");
    RegisterComponentClass<TImageList>("TImageList");
    RegisterComponentClass<TOpenDialog>("TOpenDialog");
    RegisterComponentClass<TSaveDialog>("TSaveDialog");
    RegisterComponentClass<TColorDialog>("TColorDialog");
    RegisterComponentClass<TFontDialog>("TFontDialog");
    RegisterComponentClass<TPrintDialog>("TPrintDialog");
    RegisterComponentClass<TPrinterSetupDialog>("TPrinterSetupDialog");
    // Image lists take their pictures from one strip of Width-wide images.
    RegisterPropertyReader(&TImageList::staticMetaObject, "Bitmap", [](QObject* o, const TDefValue& v, TDefinitionReader& r) {
        auto list = static_cast<TImageList*>(o);
        const QString path = r.AssetPath(r.StringValue(v));
        QImage strip(path);
        if (strip.isNull())
            r.Error(QStringLiteral("Cannot load picture %1").arg(path));
        list->AddImage(strip);
    });
    RegisterPropertyReader(&TImageList::staticMetaObject, "Width", [](QObject* o, const TDefValue& v, TDefinitionReader& r) {
        static_cast<TImageList*>(o)->SetWidth(int(r.IntegerValue(v)));
    });
    RegisterPropertyReader(&TImageList::staticMetaObject, "Height", [](QObject* o, const TDefValue& v, TDefinitionReader& r) {
        static_cast<TImageList*>(o)->SetHeight(int(r.IntegerValue(v)));
    });

    RegisterIntegerIdents({
        // Colours: fixed ones as 0x00BBGGRR, system ones as 0xFF0000nn.
        {"clBlack", 0x000000}, {"clMaroon", 0x000080}, {"clGreen", 0x008000}, {"clOlive", 0x008080},
        {"clNavy", 0x800000}, {"clPurple", 0x800080}, {"clTeal", 0x808000}, {"clGray", 0x808080},
        {"clSilver", 0xC0C0C0}, {"clRed", 0x0000FF}, {"clLime", 0x00FF00}, {"clYellow", 0x00FFFF},
        {"clBlue", 0xFF0000}, {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00}, {"clWhite", 0xFFFFFF},
        {"clLtGray", 0xC0C0C0}, {"clDkGray", 0x808080}, {"clMoneyGreen", 0xC0DCC0},
        {"clSkyBlue", 0xF0CAA6}, {"clCream", 0xF0FBFF}, {"clMedGray", 0xA4A0A0},
        {"clNone", 0x1FFFFFFF}, {"clDefault", 0x20000000},
        {"clScrollBar", 0xFF000000}, {"clBackground", 0xFF000001}, {"clActiveCaption", 0xFF000002},
        {"clInactiveCaption", 0xFF000003}, {"clMenu", 0xFF000004}, {"clWindow", 0xFF000005},
        {"clWindowFrame", 0xFF000006}, {"clMenuText", 0xFF000007}, {"clWindowText", 0xFF000008},
        {"clCaptionText", 0xFF000009}, {"clActiveBorder", 0xFF00000A}, {"clInactiveBorder", 0xFF00000B},
        {"clAppWorkSpace", 0xFF00000C}, {"clHighlight", 0xFF00000D}, {"clHighlightText", 0xFF00000E},
        {"clBtnFace", 0xFF00000F}, {"clBtnShadow", 0xFF000010}, {"clGrayText", 0xFF000011},
        {"clBtnText", 0xFF000012}, {"clInactiveCaptionText", 0xFF000013}, {"clBtnHighlight", 0xFF000014},
        {"cl3DDkShadow", 0xFF000015}, {"cl3DLight", 0xFF000016}, {"clInfoText", 0xFF000017},
        {"clInfoBk", 0xFF000018}, {"clHotLight", 0xFF00001A}, {"clGradientActiveCaption", 0xFF00001B},
        {"clGradientInactiveCaption", 0xFF00001C}, {"clMenuHighlight", 0xFF00001D}, {"clMenuBar", 0xFF00001E},
        // Cursors.
        {"crDefault", 0}, {"crNone", -1}, {"crArrow", -2}, {"crCross", -3}, {"crIBeam", -4},
        {"crSizeNESW", -6}, {"crSizeNS", -7}, {"crSizeNWSE", -8}, {"crSizeWE", -9}, {"crUpArrow", -10},
        {"crHourGlass", -11}, {"crDrag", -12}, {"crNoDrop", -13}, {"crHSplit", -14}, {"crVSplit", -15},
        {"crMultiDrag", -16}, {"crSQLWait", -17}, {"crNo", -18}, {"crAppStart", -19}, {"crHelp", -20},
        {"crHandPoint", -21}, {"crSizeAll", -22}, {"crSize", -22},
        // Modal results.
        {"mrNone", 0}, {"mrOk", 1}, {"mrCancel", 2}, {"mrAbort", 3}, {"mrRetry", 4}, {"mrIgnore", 5},
        {"mrYes", 6}, {"mrNo", 7}, {"mrAll", 8}, {"mrNoToAll", 9}, {"mrYesToAll", 10},
    });
}
