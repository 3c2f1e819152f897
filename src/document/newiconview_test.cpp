#include "document/format_list.h"
#include "document/my_list_box.h"
#include "document/newiconview.h"
#include "document/scratch_folder.h"
#include "document/testing_canvas.h"
#include "document/testing_editor_state.h"
#include "document/testing_format_list.h"
#include "framework/application.h"
#include "framework/commands.h"
#include "framework/dialogs.h"
#include "framework/image.h"
#include "framework/menus.h"
#include "framework/picture.h"
#include "framework/scroll_box.h"
#include "imaging/bitmap/image32.h"
#include "imaging/bitmap/layers.h"
#include "platform/program_paths.h"
#include "skin/form.h"
#include "skin/theme_items.h"
#include "skin/title_bar.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <gtest/gtest.h>
#include <memory>

namespace {

class DocumentWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetProgramFolder(dir.path());
        state.NewImageWidth = 32;
        state.NewImageHeight = 32;
        state.NewImageKind = "XP";
        templ = std::make_unique<Tnewiconview>();
    }
    void TearDown() override
    {
        docs.clear();
        templ.reset();
        SetProgramFolder(QString());
    }
    // A project as its creators make one: created, then named and captioned.
    Tnewiconview* NewProject(int n, int w = 32, int h = 32, const QString& kind = "XP")
    {
        state.NewImageWidth = w;
        state.NewImageHeight = h;
        state.NewImageKind = kind;
        auto* doc = new Tnewiconview;
        doc->setObjectName("iconview" + QString::number(n));
        doc->SetCaption("Project " + QString::number(n));
        docs.emplace_back(doc);
        return doc;
    }
    // A stroke as the canvas makes it, marked with its colour at (0, 0).
    static void Stroke(Tnewiconview* doc, uint32_t colour)
    {
        doc->EnsureBaseState();
        doc->DropRedoTail();
        GdipImageData(doc->CurrentImage())->setPixel(0, 0, colour);
        doc->RecordStep();
    }
    // Grid lines are anti-aliased lines on whole coordinates: their pixels come within a few
    // levels of the pen colour.
    static bool Near(uint32_t a, uint32_t b, int tolerance = 4)
    {
        for (int shift = 0; shift < 32; shift += 8)
            if (std::abs(int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF)) > tolerance)
                return false;
        return true;
    }
    static uint32_t CanvasPixel(Tnewiconview* doc, int x, int y) { return doc->iconview->Bitmap()->PixelAddress(x, y)[0]; }

    QTemporaryDir dir;
    TTestingEditorState state;
    std::unique_ptr<Tnewiconview> templ;
    std::vector<std::unique_ptr<Tnewiconview>> docs;
};

} // namespace

TEST_F(DocumentWindow, TemplateAndProjectsAreCreatedWithTheirFirstFormat)
{
    EXPECT_EQ(templ->objectName(), "newiconview");
    EXPECT_TRUE(templ->IsTemplate());
    EXPECT_EQ(templ->Top(), 5000);

    // A tile chosen for the template carries over to every later document.
    QImage tile(4, 4, QImage::Format_ARGB32);
    tile.fill(0xFF336699);
    tile.save(dir.filePath("tile.png"));
    templ->bgimage->Picture()->LoadFromFile(dir.filePath("tile.png"));

    Tnewiconview* doc = NewProject(1);
    EXPECT_EQ(doc->bgimage->Picture()->Width(), 4);
    EXPECT_EQ(doc->Top(), -2);
    EXPECT_EQ(doc->Left(), -4);
    EXPECT_EQ(doc->Width(), 800 - 60 + 4);   // main window's Panel4.Left - Panel3.Width + 4
    EXPECT_EQ(doc->Height(), 690 - 60);      // Panel17.Top - the band's bottom
    EXPECT_EQ(doc->FormatCount(), 1);
    EXPECT_EQ(doc->CurrentFormat(), 1);
    EXPECT_EQ(doc->FormatTable.StandardFlag(2), "TRUE");
    EXPECT_EQ(doc->FormatTable.UndoStateCount(1), 1);
    EXPECT_EQ(doc->FormatTable.CaptureState(), 1);
    EXPECT_EQ(doc->FormatTable.PatternPath(0), "image\\16color\\17.bmp");
    EXPECT_EQ(doc->FormatTable.PatternPath(1), "image\\16color\\18.bmp");
    const QImage* format = GdipImageData(doc->CurrentImage());
    ASSERT_NE(format, nullptr);
    EXPECT_EQ(format->size(), QSize(32, 32));
    EXPECT_EQ(format->pixel(5, 5), 0u);
    EXPECT_EQ(doc->Zoom, 15);
    EXPECT_EQ(doc->iconview->Width(), 480);
    EXPECT_EQ(doc->iconview->Left(), (doc->ScrollBox2->Width() - 480) / 2 - 1);
    EXPECT_NE(doc->GridLayer, nullptr);
    EXPECT_EQ(qobject_cast<TControl*>(doc->FindComponent("xp48text"))->Caption(), "32 * 32 - XP");
    EXPECT_TRUE(state.Visible.value("colorxp"));
    EXPECT_FALSE(state.Visible.value("color1", true));

    // The colour wells follow the kind: Mono shows its own, other kinds leave them alone.
    state.Visible.clear();
    NewProject(2, 24, 24, "16.8M");
    EXPECT_TRUE(state.Visible.isEmpty());
    EXPECT_EQ(docs.back()->Zoom, 20);
    for (int j = 1; j <= 15; ++j)
        EXPECT_EQ(docs.back()->FormatTable.StandardFlag(j), "FALSE");
    NewProject(3, 16, 16, "Mono");
    EXPECT_TRUE(state.Visible.value("color1"));
    EXPECT_FALSE(state.Visible.value("colorxp", true));
}

TEST_F(DocumentWindow, EveryCommandOfTheSurfaceResolvesByName)
{
    Tnewiconview* doc = NewProject(1);
    QStringList names{"suiForm1", "Panel1", "MyListBox1", "Panel5", "ScrollBox2", "iconview", "PaintBox1",
                      "iconviewbg", "bgimage", "copybm", "xp48", "xp48up", "xp48click", "xp48text",
                      "suiPopupMenu1", "suiPopupMenu2", "Timer1", "Timer2", "suiThemeManager1", "suiFileTheme1",
                      "brelnova", "deleteformat", "Print",
                      "Create3232WinXPImageFormat1", "addimageSHOW1", "NewImageFormat1", "RemoveImageFormat1",
                      "RemoveImageFormat2", "NewIconProjectFromThisImage1", "NewIconProjectFromThisImage2",
                      "NewGifProjectFromThisImage1", "NewGifProjectFromThisImage3", "NewGifProjectFromThisImage2",
                      "NewAniProjectFromThisImage1", "Ps1", "SendthisimagetoPhotoshop1", "Copy1", "Copy2",
                      "BitmapImage1", "BitmapImage2", "PngwithTransparency1", "PngwithTransparency2",
                      "CreateSnapshot1", "Selectall1", "ClearAll1", "CancelSelect1", "Zoomin1", "Zoomout1",
                      "FittoWindowZomm1", "Grid1", "Grid2", "ShowImageFormatList1", "ShowImageFormatList2",
                      "ShowListonLeft1", "ShowListonLeft2", "ShowListonRight1", "ShowListonRight2", "Properties1",
                      "Properties2"};
    for (int k = 1; k <= 46; ++k)
        names << "BitBtn" + QString::number(k);
    for (int k = 1; k <= 9; ++k)
        names << "Button" + QString::number(k);
    for (int k = 2; k <= 27; ++k)
        names << "Image" + QString::number(k);
    for (const QString& name : names)
        EXPECT_NE(doc->FindComponent(name.toLower()), nullptr) << name.toStdString();

    // The two menus in their order, with the captions the main window and the language file use.
    auto* menu = qobject_cast<TPopupMenu*>(doc->FindComponent("suiPopupMenu2"));
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(menu->Items()->Items(0)->Caption(), "Create a New Image Format");
    EXPECT_EQ(qobject_cast<TMenuItem*>(doc->FindComponent("FittoWindowZomm1"))->Caption(), "Fit to Window Zomm");
    EXPECT_FALSE(qobject_cast<TMenuItem*>(doc->FindComponent("RemoveImageFormat1"))->Enabled());
    EXPECT_TRUE(qobject_cast<TMenuItem*>(doc->FindComponent("Grid2"))->Checked());

    // "Zoom in" and "Zoom out" run the main window's commands of their captions.
    state.ActiveDocumentName = "iconview1";
    state.OnMainCommand = [](const QString& c) {
        if (c == "ToolButton14Click")
            RunCommandByName("iconview1", "BitBtn3");
    };
    const int before = doc->Zoom;
    EXPECT_TRUE(RunCommandByName("iconview1", "Zoomout1"));
    EXPECT_EQ(doc->Zoom, before - 1);
    EXPECT_EQ(state.Labels.value("bigbig"), QString::number((before - 1) * 100) + " %");
    EXPECT_TRUE(RunCommandByName("iconview1", "Zoomin1"));
    EXPECT_EQ(state.Log.last(), "ToolButton13Click");
}

TEST_F(DocumentWindow, CloseQuestionAnswers)
{
    struct Case {
        int answer;
        bool closes;
        QStringList log;
    } cases[] = {{mrNo, true, {"ClearPreview", "ClearDocumentTile 1"}},
                 // Yes first makes the document the active one, so that Save writes this one.
                 {mrYes, true, {"RedrawToolImages", "ActivateDocument 1", "ToolButton3Click", "ClearDocumentTile 1"}},
                 {mrCancel, false, {}}};
    for (const Case& c : cases) {
        Tnewiconview* doc = NewProject(1);
        QStringList asked;
        TDialogAnswererScope scope([&](TDialogRequest& r) {
            asked << r.Text;
            r.Result = c.answer;
            return true;
        });
        state.Log.clear();
        state.ActiveDocumentName = doc->objectName();
        bool canClose = true;
        doc->FormCloseQuery(doc, canClose);
        EXPECT_EQ(asked, QStringList({"Save changes to the Brelnova Studio \"Project 1\"before closing ?"}));
        EXPECT_EQ(canClose, c.closes);
        EXPECT_EQ(state.Log, c.log);
        docs.pop_back();
    }

    QStringList asked;
    TDialogAnswererScope scope([&](TDialogRequest& r) {
        asked << r.Text;
        r.Result = mrNo;
        return true;
    });
    bool canClose = true;
    templ->FormCloseQuery(templ.get(), canClose);
    EXPECT_TRUE(canClose);
    state.ClosingForUpdate = 1;
    NewProject(2)->FormCloseQuery(docs.back().get(), canClose);
    EXPECT_TRUE(asked.isEmpty());
    state.ClosingForUpdate = 0;

    // Yes whose Save dialog is then cancelled keeps the document open.
    {
        Tnewiconview* doc = NewProject(3);
        TDialogAnswererScope yes([&](TDialogRequest& r) {
            r.Result = mrYes;
            return true;
        });
        state.OnMainCommand = [&](const QString&) { state.SaveNotDone = true; };
        bool keep = true;
        doc->FormCloseQuery(doc, keep);
        EXPECT_FALSE(keep);
        state.OnMainCommand = nullptr;
    }

    // Documents past the strip's 24 tiles have no tile to clear.
    state.Log.clear();
    Tnewiconview* late = NewProject(25);
    late->FormCloseQuery(late, canClose);
    EXPECT_EQ(state.Log, QStringList({"ClearPreview"}));
}

TEST_F(DocumentWindow, HoverOverAnotherDocumentMakesItActive)
{
    Tnewiconview* a = NewProject(3);
    Tnewiconview* b = NewProject(12);
    a->SavedFileName = "/tmp/a.ico";
    a->ActivateMouseMove(a, TShiftState(), 5, 5);
    EXPECT_EQ(state.ActiveDocumentName, "iconview3");
    EXPECT_EQ(state.CurrentFilePath, "/tmp/a.ico");
    EXPECT_EQ(state.Labels.value("userfilename"), "/tmp/a.ico");
    b->ActivateMouseMove(b, TShiftState(), 5, 5);
    EXPECT_EQ(state.ActiveDocumentName, "iconview12");
    EXPECT_EQ(state.ActiveDocumentNumber, 12);
    EXPECT_EQ(state.CurrentFilePath, "");
    EXPECT_EQ(state.Log.last(), "ActivateDocument 12");
    templ->suiForm1Click(templ.get());
    EXPECT_EQ(state.ActiveDocumentNumber, 1);
}

TEST_F(DocumentWindow, SkinnedFrameCarriesTheCaptionAndActivates)
{
    // The template shows its design caption on the drawn title bar.
    ASSERT_NE(templ->suiForm1, nullptr);
    EXPECT_EQ(templ->FindComponent("suiForm1"), templ->suiForm1);
    EXPECT_EQ(templ->suiForm1->HostForm(), templ.get());
    EXPECT_EQ(templ->suiForm1->Caption(), "Project 1");

    // A project captioned by its creator, through the window or through the skinned frame.
    Tnewiconview* doc = NewProject(4);
    EXPECT_EQ(doc->suiForm1->Caption(), "Project 4");
    doc->suiForm1->SetCaption("Project 5");
    EXPECT_EQ(doc->Caption(), "Project 5");
    EXPECT_EQ(doc->suiForm1->TitleBar()->Caption(), "Project 5");

    // Every control of the window sits inside the frame, below its title bar.
    auto* column = qobject_cast<TControl*>(doc->FindComponent("Panel1"));
    ASSERT_NE(column, nullptr);
    EXPECT_EQ(column->parentWidget(), doc->suiForm1);
    EXPECT_EQ(column->Top(), doc->suiForm1->GetTitleBarHeight());
    EXPECT_GT(doc->suiForm1->GetTitleBarHeight(), 10);

    // A click and a mouse release on the frame activate the document.
    state.ActiveDocumentName.clear();
    ASSERT_TRUE(doc->suiForm1->OnClick);
    doc->suiForm1->OnClick(doc->suiForm1);
    EXPECT_EQ(state.ActiveDocumentName, "iconview4");
    state.ActiveDocumentName.clear();
    const QPointF at(2, doc->suiForm1->Height() - 2);
    QMouseEvent release(QEvent::MouseButtonRelease, at, doc->suiForm1->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(doc->suiForm1, &release);
    EXPECT_EQ(state.ActiveDocumentName, "iconview4");
}

TEST_F(DocumentWindow, MdiChildShowsTheSkinnedFrameInTheMainWindowsStyle)
{
    state.SkinStyle = WinXP;
    TForm frame;
    frame.SetFormStyle(fsMDIForm);
    frame.SetBounds(0, 0, 1000, 760);
    Application->SetMainForm(&frame);
    frame.Show();
    QApplication::processEvents();

    // As the main window makes a project: created, named, captioned, then an MDI child.
    Tnewiconview* doc = NewProject(2);
    doc->SetFormStyle(fsMDIChild);
    doc->Show();
    QApplication::processEvents();
    ASSERT_NE(doc->MdiFrame(), nullptr);
    // The sub-window's own title bar and frame are gone; the skinned ones take their place.
    EXPECT_TRUE(doc->MdiFrame()->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(doc->suiForm1->UIStyle(), WinXP);
    EXPECT_EQ(doc->suiForm1->Caption(), "Project 2");
    EXPECT_EQ(doc->MdiFrame()->windowTitle(), "Project 2");
    const int bw = GetBuiltinThemeInteger(WinXP, ThemeItem::FormBorderWidthInt);
    EXPECT_EQ(doc->BorderWidth(), std::max(3, bw));

    const QImage shot = doc->grab().toImage().convertToFormat(QImage::Format_RGB32);
    auto px = [&](int x, int y) { return shot.pixel(x, y) & 0xFFFFFFu; };
    const QRgb border = ColorToQColor(GetBuiltinThemeColor(WinXP, ThemeItem::FormBorderColor)).rgb() & 0xFFFFFF;
    const int midY = doc->Height() / 2;
    EXPECT_EQ(px(0, midY), border);
    EXPECT_EQ(px(doc->Width() - 1, midY), border);
    EXPECT_EQ(px(doc->Width() / 2, doc->Height() - 1), border);
    // The title bar across the top holds the bar's own picture, caption text included.
    TsuiTitleBar* bar = doc->suiForm1->TitleBar();
    ASSERT_TRUE(bar->isVisible());
    const QImage barShot = bar->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint origin = bar->mapTo(doc, QPoint(0, 0));
    EXPECT_EQ(origin.y(), 3);
    int same = 0, differentFromFace = 0;
    for (int x = 0; x < bar->width(); x += 7) {
        const int y = bar->height() / 2;
        same += px(origin.x() + x, origin.y() + y) == (barShot.pixel(x, y) & 0xFFFFFFu);
        differentFromFace += px(origin.x() + x, origin.y() + y) != 0xF0F0F0u;
    }
    const int samples = (bar->width() + 6) / 7;
    EXPECT_EQ(same, samples);
    EXPECT_GT(differentFromFace, samples / 2);
    const TPoint text = bar->CaptionPos();
    bool dark = false, light = false;
    for (int x = text.X; x < text.X + 60; ++x)
        for (int y = text.Y; y < text.Y + 12; ++y) {
            const int g = qGray(barShot.pixel(x, y));
            dark |= g < 90;
            light |= g > 200;
        }
    EXPECT_TRUE(dark && light) << "no caption drawn on the title bar";

    docs.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    Application->SetMainForm(nullptr);
}

TEST_F(DocumentWindow, ZoomStepsRefitAndLimits)
{
    struct Case {
        int w, h, zoom;
    } initial[] = {{16, 16, 20}, {32, 32, 15}, {48, 48, 10}, {24, 24, 20}, {64, 40, 6}, {255, 1, 1},
                   {200, 10, 2}, {130, 130, 3}, {100, 5, 4}, {90, 90, 5}, {50, 50, 7}, {40, 40, 10}, {30, 1, 15}};
    for (const Case& c : initial)
        EXPECT_EQ(InitialZoom(c.w, c.h), c.zoom) << c.w << "x" << c.h;

    Tnewiconview* doc = NewProject(1, 16, 16);
    EXPECT_EQ(doc->iconview->Width(), 320);
    doc->Zoom = 1;
    doc->ApplyZoom("small");
    EXPECT_EQ(doc->Zoom, 1);
    // Zoom in stops at the scroll box's width over the format's plus 3.
    const int limit = doc->ScrollBox2->Width() / 16 + 3;
    doc->Zoom = limit - 1;
    doc->ApplyZoom("big");
    EXPECT_EQ(doc->Zoom, limit);
    doc->ApplyZoom("big");
    EXPECT_EQ(doc->Zoom, limit);
    EXPECT_EQ(doc->iconview->Width(), limit * 16);
    EXPECT_EQ(doc->iconview->Bitmap()->Width(), limit * 16);
    // Where the canvas lies in the scroll box, whatever the view is scrolled to.
    auto* box = qobject_cast<TScrollBox*>(doc->ScrollBox2);
    ASSERT_TRUE(box);
    EXPECT_EQ(doc->iconview->Left() + box->HorzScrollBar()->Position(),
              doc->ScrollBox2->Width() > limit * 16 ? (doc->ScrollBox2->Width() - limit * 16) / 2 : 0);

    // Fit to the window: the larger of the two fits, at least 1.
    RunCommandByName("iconview1", "BitBtn26");
    const int sw = doc->ScrollBox2->Width(), sh = doc->ScrollBox2->Height();
    const int fit = sh / 16 < sw / 16 ? (sh - 4) / 16 : (sw - 4) / 16;
    EXPECT_EQ(doc->Zoom, fit);
    EXPECT_EQ(state.Labels.value("bigbig"), QString::number(fit * 100) + " %");
    EXPECT_EQ(state.Labels.value("formaticon"), "16 * 16 - XP");
    EXPECT_EQ(doc->iconview->Top(), (sh - fit * 16) / 2);

    Tnewiconview* big = NewProject(2, 255, 255);
    big->SetBounds(0, 0, 300, 300); // its resize refits
    ASSERT_LT(big->ScrollBox2->Width(), 255);
    EXPECT_EQ(big->Zoom, 1);
}

TEST_F(DocumentWindow, AZoomedCanvasScrollsToEveryPixel)
{
    Tnewiconview* doc = NewProject(1, 48, 48);
    auto* box = qobject_cast<TScrollBox*>(doc->ScrollBox2);
    ASSERT_TRUE(box);
    EXPECT_FALSE(box->VertScrollBar()->IsScrollBarVisible());
    for (int i = 0; i < 40; ++i)
        doc->BitBtn2Click(nullptr);
    ASSERT_GT(doc->iconview->Height(), box->ClientHeight());
    EXPECT_TRUE(box->VertScrollBar()->IsScrollBarVisible());
    EXPECT_TRUE(box->HorzScrollBar()->IsScrollBarVisible());

    // The wheel over the canvas reaches the scroll box (a wheel event the canvas leaves goes to
    // its parent; sent from here it would not travel).
    auto wheel = [&](int delta, Qt::KeyboardModifiers modifiers) {
        const QPointF at(5, 5);
        QWheelEvent e(at, box->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, modifiers,
                      Qt::NoScrollPhase, false);
        QApplication::sendEvent(box, &e);
    };
    box->HorzScrollBar()->SetPosition(0);
    box->VertScrollBar()->SetPosition(0);
    wheel(-120, Qt::NoModifier);
    EXPECT_GT(box->VertScrollBar()->Position(), 0);
    EXPECT_EQ(box->HorzScrollBar()->Position(), 0);
    wheel(-120, Qt::ShiftModifier);
    EXPECT_GT(box->HorzScrollBar()->Position(), 0);

    // Scrolled to the far corner, the last pixel shows in the view's corner and a press there
    // lands on it.
    box->HorzScrollBar()->SetPosition(1 << 20);
    box->VertScrollBar()->SetPosition(1 << 20);
    EXPECT_EQ(doc->iconview->Left() + doc->iconview->Width(), box->ClientWidth());
    EXPECT_EQ(doc->iconview->Top() + doc->iconview->Height(), box->ClientHeight());
    const QPointF corner(box->ClientWidth() - 1 - doc->iconview->Left(), box->ClientHeight() - 1 - doc->iconview->Top());
    QMouseEvent press(QEvent::MouseButtonPress, corner, doc->iconview->mapToGlobal(corner), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(doc->iconview, &press);
    EXPECT_EQ(doc->DragStartX, 47);
    EXPECT_EQ(doc->DragStartY, 47);
    QMouseEvent release(QEvent::MouseButtonRelease, corner, doc->iconview->mapToGlobal(corner), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(doc->iconview, &release);

    // A canvas under 480 pixels that is still taller than a small window starts at the top
    // edge, not above it where no scrolling reaches.
    Tnewiconview* small = NewProject(2, 16, 16);
    small->SetBounds(0, 0, 360, 300);
    auto* smallBox = qobject_cast<TScrollBox*>(small->ScrollBox2);
    for (int i = 0; i < 40; ++i)
        small->BitBtn2Click(nullptr);
    ASSERT_LT(small->iconview->Width(), 480);
    ASSERT_GT(small->iconview->Height(), smallBox->ClientHeight());
    EXPECT_EQ(small->iconview->Top() + smallBox->VertScrollBar()->Position(), 0);
}

TEST_F(DocumentWindow, GridDrawnInPartsIsTheGridDrawnWhole)
{
    // The grid as it is drawn line by line, whole lines one after the other: the reference for
    // the grid drawn band by band, and for any part of it drawn alone.
    state.GridColor1 = 0xFF2040E0;
    state.GridColor2 = 0xFFC0C0C0;
    auto reference = [this](TBitmap32& b, int z, int w, int h) {
        auto colour = [this](int i) {
            const uint32_t v = i % 8 == 0 ? state.GridColor1 : state.GridColor2;
            return MakeColor32(int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF), 255);
        };
        auto line = [&b](TColor32 c, float x1, float y1, float x2, float y2) {
            b.SetPenColor(c);
            b.MovePenTo(x1, y1);
            b.SmoothLineTo(x2, y2);
        };
        const int step = z >= 5 ? z : 5, rows = z >= 5 ? h : z * h / 5, columns = z >= 5 ? w : z * w / 5;
        for (int i = 1; i <= rows; ++i)
            line(colour(i), 1, float(i * step), float(z * w - 1), float(i * step));
        for (int i = 1; i <= columns; ++i)
            line(colour(i), float(i * step), 1, float(i * step), float(z * h - 1));
        const TColor32 black = MakeColor32(0, 0, 0, 255);
        line(black, 0, 0, 0, float(z * h));
        line(black, 0, 0, float(z * w - 1), 0);
        line(black, float(z * w - 1), 0, float(z * w - 1), float(z * h - 1));
        line(black, 0, float(z * h - 1), float(z * w), float(z * h - 1));
    };
    auto noise = [](TBitmap32& b, int bw, int bh) {
        b.SetSize(bw, bh);
        for (int i = 0; i < bw * bh; ++i)
            b.Bits()[i] = uint32_t(i) * 2654435761u;
    };
    struct Case {
        int zoom, width, height, bufferWidth, bufferHeight;
    };
    const Case cases[] = {
        {7, 40, 30, 300, 230},   // buffer with a margin
        {9, 20, 20, 180, 180},   // buffer exactly the canvas: lines reach its edges
        {3, 37, 22, 140, 70},    // below zoom 5: every 5 screen pixels, a line on the last column
        {3, 37, 22, 100, 60},    // the same in a buffer too small for it
        {12, 11, 3, 100, 30},    // buffer smaller than the canvas
        {1, 1, 12, 41, 52},      // rows shorter than a pixel run backwards
    };
    Tnewiconview* doc = NewProject(1, 32, 32);
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "zoom " << c.zoom << ", " << c.width << " x " << c.height);
        doc->Zoom = c.zoom;
        doc->CurrentWidth = c.width;
        doc->CurrentHeight = c.height;
        TBitmap32 whole, banded, pieces;
        noise(whole, c.bufferWidth, c.bufferHeight);
        noise(banded, c.bufferWidth, c.bufferHeight);
        noise(pieces, c.bufferWidth, c.bufferHeight);
        reference(whole, c.zoom, c.width, c.height);
        doc->PaintGrid(&banded);
        // Four pieces that share no pixel and cover the buffer, one reaching past its edges.
        const int mx = c.bufferWidth / 3, my = c.bufferHeight / 2 + 1;
        const bool fits = c.zoom * c.width <= c.bufferWidth && c.zoom * c.height <= c.bufferHeight;
        EXPECT_EQ(doc->PaintGrid(&pieces, Rect(0, 0, mx, my)), fits);
        doc->PaintGrid(&pieces, Rect(mx, 0, c.bufferWidth + 50, my));
        doc->PaintGrid(&pieces, Rect(-10, my, mx, c.bufferHeight));
        doc->PaintGrid(&pieces, Rect(mx, my, c.bufferWidth, c.bufferHeight + 9));
        if (!fits)
            noise(whole, c.bufferWidth, c.bufferHeight); // a grid that does not fit draws no part
        for (int i = 0; i < c.bufferWidth * c.bufferHeight; ++i) {
            ASSERT_EQ(pieces.Bits()[i], whole.Bits()[i]) << "pixel " << i % c.bufferWidth << "," << i / c.bufferWidth;
            if (fits)
                ASSERT_EQ(banded.Bits()[i], whole.Bits()[i]) << "pixel " << i % c.bufferWidth << "," << i / c.bufferWidth;
        }
        if (!fits) {
            reference(whole, c.zoom, c.width, c.height);
            for (int i = 0; i < c.bufferWidth * c.bufferHeight; ++i)
                ASSERT_EQ(banded.Bits()[i], whole.Bits()[i]) << "pixel " << i % c.bufferWidth << "," << i / c.bufferWidth;
        }
    }
}

TEST_F(DocumentWindow, GridLinesFollowTheZoom)
{
    Tnewiconview* doc = NewProject(1, 32, 32);
    state.GridColor1 = 0xFFFF0000; // red
    state.GridColor2 = 0xFF00FF00; // green
    TBitmap32 buffer;

    doc->Zoom = 8;
    buffer.SetSize(256, 256);
    buffer.Clear(0xFFFFFFFF);
    doc->PaintGrid(&buffer);
    EXPECT_TRUE(Near(buffer.PixelAddress(20, 64)[0], 0xFFFF0000u)); // line 8: the first colour
    EXPECT_TRUE(Near(buffer.PixelAddress(20, 8)[0], 0xFF00FF00u));
    EXPECT_TRUE(Near(buffer.PixelAddress(128, 20)[0], 0xFFFF0000u)); // column 16
    EXPECT_EQ(buffer.PixelAddress(20, 12)[0], 0xFFFFFFFFu);
    EXPECT_TRUE(Near(buffer.PixelAddress(0, 100)[0], 0xFF000000u));  // border
    EXPECT_TRUE(Near(buffer.PixelAddress(255, 100)[0], 0xFF000000u));
    EXPECT_TRUE(Near(buffer.PixelAddress(100, 255)[0], 0xFF000000u));

    // Below zoom 5 the lines fall every 5 screen pixels, not on pixel boundaries.
    Tnewiconview* small = NewProject(2, 10, 10);
    small->Zoom = 3;
    buffer.SetSize(30, 30);
    buffer.Clear(0xFFFFFFFF);
    small->PaintGrid(&buffer);
    EXPECT_TRUE(Near(buffer.PixelAddress(12, 5)[0], 0xFF00FF00u));
    EXPECT_EQ(buffer.PixelAddress(12, 3)[0], 0xFFFFFFFFu);
    EXPECT_EQ(buffer.PixelAddress(12, 6)[0], 0xFFFFFFFFu);
    EXPECT_TRUE(Near(buffer.PixelAddress(25, 12)[0], 0xFF00FF00u));

    // Off and on again: the layer goes and comes back, and the menus follow.
    ASSERT_TRUE(RunCommandByName("iconview1", "Grid1"));
    EXPECT_TRUE(doc->GridOff);
    EXPECT_EQ(doc->GridLayer, nullptr);
    EXPECT_FALSE(qobject_cast<TMenuItem*>(doc->FindComponent("Grid2"))->Checked());
    EXPECT_FALSE(state.Checked.value("LineGrid1", true));
    ASSERT_TRUE(RunCommandByName("iconview1", "Grid2"));
    EXPECT_FALSE(doc->GridOff);
    EXPECT_NE(doc->GridLayer, nullptr);
    EXPECT_TRUE(state.Checked.value("LineGrid1"));
}

TEST_F(DocumentWindow, HoverCellShowsThePrimaryColour)
{
    Tnewiconview* doc = NewProject(1, 16, 16);
    doc->Zoom = 10;
    doc->RebuildView();
    state.Edits["upr"] = "255";
    state.Edits["upg"] = "0";
    state.Edits["upb"] = "0";
    state.Edits["upa"] = "255";
    doc->ShowHoverCell(35, 47); // cell 3, 4
    EXPECT_EQ(CanvasPixel(doc, 30, 40), 0xFFFF0000u);
    EXPECT_EQ(CanvasPixel(doc, 39, 49), 0xFFFF0000u);
    EXPECT_NE(CanvasPixel(doc, 40, 40), 0xFFFF0000u);
    EXPECT_NE(CanvasPixel(doc, 29, 49), 0xFFFF0000u);
    doc->RebuildView();
    doc->ShowHoverCell(0, 47); // nothing at the edge
    EXPECT_NE(CanvasPixel(doc, 0, 40), 0xFFFF0000u);
}

TEST_F(DocumentWindow, UndoAndRedoCommandsRedrawTheCanvas)
{
    Tnewiconview* doc = NewProject(1, 4, 4);
    doc->Zoom = 10;
    state.ActiveDocumentName = "iconview1";
    state.ActiveDocumentNumber = 1;
    Stroke(doc, 0xFF123456);
    Stroke(doc, 0xFF654321);
    ASSERT_TRUE(RunCommandByName("iconview1", "BitBtn23"));
    EXPECT_EQ(CanvasPixel(doc, 5, 5), 0xFF123456u);
    EXPECT_EQ(state.TrackBars.value("layer_a"), 255);
    EXPECT_EQ(state.Tiles.value(1).pixel(0, 0) | 0xFF000000u, 0xFF123456u);
    ASSERT_TRUE(RunCommandByName("iconview1", "BitBtn24"));
    EXPECT_EQ(CanvasPixel(doc, 5, 5), 0xFF654321u);
    // Nothing undone: Redo leaves the canvas alone, even a change not yet recorded.
    GdipImageData(doc->CurrentImage())->setPixel(0, 0, 0xFF00FF00);
    doc->RebuildView();
    RunCommandByName("iconview1", "BitBtn24");
    EXPECT_EQ(GdipImageData(doc->CurrentImage())->pixel(0, 0), 0xFF00FF00u);
    EXPECT_TRUE(QFile::exists(ScratchPath("iconview1/1_3.png")));
}

TEST_F(DocumentWindow, ThumbnailsTakeTheFormatSizeOrFitTheirFrames)
{
    struct Case {
        int w, h;
        TSize tile, preview;
    } cases[] = {{20, 20, {20, 20}, {20, 20}}, {40, 20, {40, 20}, {40, 20}}, {48, 48, {38, 38}, {48, 48}},
                 {128, 64, {38, 38}, {80, 16}}, {255, 100, {38, 38}, {80, 31}}, {100, 255, {38, 38}, {31, 80}}};
    int n = 1;
    for (const Case& c : cases) {
        Tnewiconview* doc = NewProject(n, c.w, c.h);
        state.ActiveDocumentNumber = n;
        state.ActiveDocumentName = doc->objectName();
        doc->UpdateThumbnails();
        const TRect tile = state.TileBounds.value(n);
        EXPECT_EQ(TSize({tile.Width(), tile.Height()}), c.tile) << c.w << "x" << c.h;
        const TRect bg = state.Bounds.value("iconbg" + QString::number(n + 3));
        EXPECT_EQ(tile.Left, bg.Left + (bg.Width() - c.tile.cx) / 2);
        EXPECT_EQ(tile.Top, bg.Top + (bg.Height() - c.tile.cy) / 2);
        EXPECT_EQ(TSize({state.PreviewBounds.Width(), state.PreviewBounds.Height()}), c.preview);
        EXPECT_EQ(PreviewSize(c.w, c.h), c.preview);
        ++n;
    }
    // Documents past the strip's tiles still get their preview.
    state.Tiles.clear();
    Tnewiconview* late = NewProject(30, 16, 16);
    state.ActiveDocumentNumber = 30;
    state.ActiveDocumentName = late->objectName();
    late->UpdateThumbnails();
    EXPECT_TRUE(state.Tiles.isEmpty());
    EXPECT_EQ(state.Preview.size(), QSize(16, 16));
}

TEST_F(DocumentWindow, RedrawDropsTheSelectedPixelsBackIntoTheFormat)
{
    Tnewiconview* doc = NewProject(1, 8, 8);
    doc->Zoom = 10;
    doc->RebuildView();
    QImage* format = GdipImageData(doc->CurrentImage());
    format->setPixel(2, 3, 0x80FF0000);
    // An empty selection lifts nothing and only redraws.
    SelectionRect() = Rect(0, 0, 0, 0);
    RunCommandByName("iconview1", "BitBtn1");
    EXPECT_EQ(GdipImageData(doc->CurrentImage())->pixel(2, 3), 0x80FF0000u);
    // A selection is lifted and dropped back in place, exactly.
    doc->SelectWholeCanvas();
    EXPECT_EQ(SelectionRect(), Rect(0, 0, 90, 90));
    RunCommandByName("iconview1", "BitBtn1");
    EXPECT_EQ(GdipImageData(doc->CurrentImage())->pixel(2, 3), 0x80FF0000u);
    EXPECT_EQ(SelectionRect(), Rect(0, 0, 0, 0));
    UINT w = 0;
    GdipGetImageWidth(state.FloatingImage, &w);
    EXPECT_EQ(w, 8u);
}

TEST_F(DocumentWindow, ScreenshotOfA32By32FormatAtZoom8)
{
    Tnewiconview* doc = NewProject(1, 32, 32);
    QImage* format = GdipImageData(doc->CurrentImage());
    {
        // A small picture: a red disc with a half-transparent blue bar.
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const int dx = x - 15, dy = y - 15;
                if (dx * dx + dy * dy <= 100)
                    format->setPixel(x, y, 0xFFE02020);
                if (y >= 22 && y < 26 && x >= 4 && x < 28)
                    format->setPixel(x, y, 0x802040FF);
            }
    }
    doc->Show();
    doc->Zoom = 9;
    RunCommandByName("iconview1", "BitBtn3");
    ASSERT_EQ(doc->Zoom, 8);
    EXPECT_EQ(doc->iconview->Width(), 256);
    const QImage shot = doc->grab().toImage();
    const QString out = qEnvironmentVariable("BRELNOVA_SCREENSHOT_DIR");
    if (!out.isEmpty())
        shot.save(out + "/document_32x32_zoom8.png");

    const QPoint origin = doc->iconview->mapTo(doc, QPoint(0, 0)) * shot.devicePixelRatio();
    auto at = [&](int x, int y) { return shot.pixel(origin + QPoint(x, y)) & 0xFFFFFFu; };
    EXPECT_EQ(at(15 * 8 + 4, 15 * 8 + 4), 0xE02020u); // inside the disc, between grid lines
    EXPECT_TRUE(Near(at(0, 100), 0u)); // the black border
    // Line 8 in the first grid colour (red in its low byte), line 7 in the second.
    const uint32_t major = state.GridColor1, minor = state.GridColor2;
    auto rgb = [](uint32_t v) { return (v & 0xFF) << 16 | (v & 0xFF00) | ((v >> 16) & 0xFF); };
    EXPECT_TRUE(Near(at(20, 64), rgb(major)));
    EXPECT_TRUE(Near(at(20, 56), rgb(minor)));
    EXPECT_TRUE(Near(at(64, 20), rgb(major)));
}

TEST_F(DocumentWindow, CanvasRepaintedInPartsShowsWhatAWholeRepaintShows)
{
    // The canvas repaints only the cells that changed; its buffer must then hold what a repaint
    // of everything gives, grid included, at a zoom below 5, at one above it and without grid.
    Tnewiconview* doc = NewProject(1, 32, 32);
    doc->Show();
    ASSERT_TRUE(doc->iconview->PartialRepaint());
    struct Setting {
        int zoom;
        bool grid;
    };
    for (const Setting& setting : {Setting{4, true}, Setting{9, true}, Setting{9, false}}) {
        SCOPED_TRACE(testing::Message() << "zoom " << setting.zoom << (setting.grid ? " with grid" : ""));
        doc->Zoom = setting.zoom + 1;
        RunCommandByName("iconview1", "BitBtn3"); // zoom out to the setting
        ASSERT_EQ(doc->Zoom, setting.zoom);
        RunCommandByName("iconview1", setting.grid ? "BitBtn8" : "BitBtn7");
        ExpectPartsRepaintedAsWhole(doc->iconview, "zoomed");
        const int z = doc->Zoom;
        doc->ShowHoverCell(5 * z + 1, 7 * z + 2);
        ExpectPartsRepaintedAsWhole(doc->iconview, "hover cell");
        doc->ShowHoverCell(20 * z + 1, 3 * z + 2);
        ExpectPartsRepaintedAsWhole(doc->iconview, "hover cell moved");
        QImage* format = GdipImageData(doc->CurrentImage());
        for (int i = 0; i < 12; ++i)
            format->setPixel(4 + i, 6 + i / 2, 0xC0FF2040); // a short stroke, half transparent
        format->setPixel(31, 31, 0xFF00FF00);
        doc->HideHoverCell();
        ExpectPartsRepaintedAsWhole(doc->iconview, "pixels drawn");
        format->setPixel(31, 31, 0);
        doc->HideHoverCell();
        ExpectPartsRepaintedAsWhole(doc->iconview, "a pixel taken away");
    }
}

TEST_F(DocumentWindow, AFormatOfTheSameCanvasSizeIsRepaintedWhole)
{
    // 16 x 16 at zoom 33 and 48 x 48 at zoom 11 both make a canvas of 528 pixels: the grid's
    // lines differ where the pixels do not.
    Tnewiconview* doc = NewProject(1, 16, 16);
    doc->Show();
    const int dw = doc->Width() - doc->ScrollBox2->Width(), dh = doc->Height() - doc->ScrollBox2->Height();
    doc->SetBounds(0, 0, 540 + dw, 540 + dh);
    ASSERT_EQ(doc->ScrollBox2->Width(), 540);
    NewFormatChoice() = {48, 48, "XP"};
    ASSERT_TRUE(RunCommandByName("iconview1", "BitBtn18"));
    ASSERT_EQ(doc->FormatCount(), 2);
    ClickFormatOfWidth(doc, 16);
    ASSERT_EQ(doc->Zoom, 33);
    ExpectPartsRepaintedAsWhole(doc->iconview, "16 x 16");
    ClickFormatOfWidth(doc, 48);
    ASSERT_EQ(doc->Zoom, 11);
    ASSERT_EQ(doc->iconview->Width(), 528);
    ExpectPartsRepaintedAsWhole(doc->iconview, "48 x 48 after 16 x 16");
    ClickFormatOfWidth(doc, 16);
    ExpectPartsRepaintedAsWhole(doc->iconview, "16 x 16 again");
}
