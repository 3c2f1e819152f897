#include "app/start/testing_window_seams.h"

#include "document/testing_format_list.h"
#include "mainwindow/set_color.h"
#include "testsupport/testdata.h"

#include <QFile>

namespace {

class EffectPreviewSeam : public WindowSeams {
protected:
    // File > Open of a copy of a real icon (a 16 x 16 4-bit image among eighteen others).
    Tnewiconview* OpenRealIcon()
    {
        const QString path = dir.filePath("icon.ico");
        QFile::copy(TestDataPath("icons/gdk-pixbuf/bug785447.ico"), path);
        TDialogAnswererScope person([&](TDialogRequest& r) {
            if (r.Kind != TDialogRequest::dkOpen)
                return false;
            r.Dialog->setProperty("FileName", path);
            r.Result = 1;
            return true;
        });
        const QString before = iconmain->ActiveDocumentName;
        EXPECT_TRUE(ClickComponentByName(iconmain, "ToolButton2"));
        return iconmain->ActiveDocumentName == before ? nullptr : Document(iconmain->ActiveDocumentNumber);
    }
    static int FormatOf(Tnewiconview* d, const char* side, const char* kind)
    {
        for (int f = 1; f <= d->FormatCount(); ++f)
            if (d->FormatTable.Width(f) == side && d->FormatTable.Height(f) == side && d->FormatTable.Kind(f) == kind)
                return f;
        return 0;
    }
    static QImage FormatPicture(Tnewiconview* d, int f) { return GdipImageData(d->FormatImages[size_t(f)])->copy(); }
    // Effects > Mosaic with its live preview shown in the document.
    static void MosaicPreview()
    {
        ASSERT_TRUE(ClickComponentByName(iconmain, "Mosaic1"));
        ASSERT_TRUE(set_color && set_color->isVisible());
        set_color->RunCurrentEffect();
    }
};

} // namespace

// An effect's preview on one format, another format clicked meanwhile: Cancel puts back the
// format the preview was made on, OK records its step there, and the other format is untouched.
TEST_F(EffectPreviewSeam, APreviewBelongsToTheFormatItWasOpenedFor)
{
    Tnewiconview* icon = OpenRealIcon();
    ASSERT_TRUE(icon);
    const int a = FormatOf(icon, "16", "16"), b = FormatOf(icon, "32", "16");
    ASSERT_TRUE(a && b);
    ClickFormat(icon, a);
    const QImage fromFile = FormatPicture(icon, a), otherFromFile = FormatPicture(icon, b);

    QStringList told;
    TDialogAnswererScope person([&](TDialogRequest& r) {
        told << r.Text;
        r.Result = r.Kind == TDialogRequest::dkForm || r.Kind == TDialogRequest::dkMessageDlg ? int(mrOk) : IDOK;
        return true;
    });
    MosaicPreview();
    ASSERT_NE(FormatPicture(icon, a), fromFile);
    ClickFormat(icon, b);
    ASSERT_TRUE(ClickComponentByName(set_color, "suiButton3")); // Cancel
    EXPECT_TRUE(told.isEmpty()) << told.join('\n').toStdString();
    EXPECT_EQ(FormatPicture(icon, a), fromFile);
    EXPECT_EQ(FormatPicture(icon, b), otherFromFile);
    EXPECT_EQ(icon->CurrentFormat(), b);

    // OK with the other format in front: the result and its step are the first format's.
    ClickFormat(icon, a);
    MosaicPreview();
    const QImage result = FormatPicture(icon, a);
    ClickFormat(icon, b);
    ASSERT_TRUE(ClickComponentByName(set_color, "suiButton1")); // OK
    EXPECT_TRUE(told.isEmpty()) << told.join('\n').toStdString();
    EXPECT_EQ(FormatPicture(icon, a), result);
    EXPECT_EQ(FormatPicture(icon, b), otherFromFile);
    ClickFormat(icon, a);
    ASSERT_TRUE(ClickComponentByName(iconmain, "Undo1"));
    EXPECT_EQ(FormatPicture(icon, a), fromFile);
}
