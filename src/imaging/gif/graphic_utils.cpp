#include "imaging/gif/graphic_utils.h"

#include "framework/bitmap.h"
#include "framework/canvas.h"
#include "framework/clipboard.h"
#include "framework/cursors.h"
#include "framework/graphics.h"
#include "framework/icon.h"
#include "framework/picture.h"

#include <QCursor>
#include <QImage>
#include <QMessageBox>
#include <QPainter>
#include <QPixmap>

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QPointer>
#include <QRegion>
#include <QRegularExpression>
#include <QSysInfo>
#include <QThread>
#include <QWidget>
#include <algorithm>
#include <map>
#include <memory>
#include <tuple>
#include <typeinfo>
#include <utility>
#include <cstdlib>
#include <cstring>

namespace {
TColor RGBToColor(uint32_t argb)
{
    return ((argb >> 16) & 0xFF) | (argb & 0xFF00) | ((argb & 0xFF) << 16);
}
} // namespace

void SwapIntegers(int& a, int& b)
{
    std::swap(a, b);
}

int MaxInteger(int a, int b)
{
    return a > b ? a : b;
}

int MinInteger(int a, int b)
{
    return a < b ? a : b;
}

int RectWidth(const TRect& r)
{
    return r.Right - r.Left;
}

int RectHeight(const TRect& r)
{
    return r.Bottom - r.Top;
}

bool IsPointWithinBounds(const TPoint& p, const TRect& r)
{
    return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}

void* AllocGlobalBlock(int64_t size)
{
    if (size <= 0)
        return nullptr;
    return std::calloc(size_t(size), 1);
}

void FreeGlobalBlock(void*& block)
{
    if (block) {
        std::free(block);
        block = nullptr;
    }
}

void* OffsetPointer(void* p, int64_t offset)
{
    return static_cast<char*>(p) + offset;
}

void MoveBytes(void* target, const void* source, size_t count)
{
    if (count > 0)
        std::memmove(target, source, count);
}

bool SameBytes(const void* a, const void* b, size_t count)
{
    return count == 0 || std::memcmp(a, b, count) == 0;
}

QString CopyText(const QString& text)
{
    return text;
}

QString FormatKernelVersion(const QString& release)
{
    static const QRegularExpression re(QStringLiteral("^(\\d+)(?:\\.(\\d+))?(?:\\.(\\d+))?(.*)$"));
    const auto m = re.match(release.trimmed());
    if (!m.hasMatch())
        return QStringLiteral("Linux %1").arg(release).trimmed();
    QString rest = m.captured(4);
    // The part behind the numbers plays the service pack's role; its separator is no text of it.
    while (rest.startsWith(u'-') || rest.startsWith(u'.') || rest.startsWith(u'+'))
        rest.remove(0, 1);
    return QStringLiteral("Linux %1.%2.%3 %4")
        .arg(m.captured(1).toInt())
        .arg(m.captured(2).toInt(), 2, 10, QLatin1Char('0'))
        .arg(m.captured(3).toInt(), 3, 10, QLatin1Char('0'))
        .arg(rest)
        .trimmed();
}

QString FormatWindowsVersion()
{
    return FormatKernelVersion(QSysInfo::kernelVersion());
}

void PlayMessageBeep()
{
    if (qobject_cast<QApplication*>(QCoreApplication::instance()))
        QApplication::beep();
}

namespace {

// Takes the posted events of one type for one receiver out of the queue while they are sent: the
// first is kept, the others are copied to be posted again. An event that cannot be copied whole
// (its class has no copy of its own) is let through instead, delivered as the queue would have.
class TPostedEventTaker : public QObject {
public:
    TPostedEventTaker(QObject* receiver, int type) : receiver_(receiver), type_(type) {}
    std::unique_ptr<QEvent> Taken;
    std::vector<std::pair<QPointer<QObject>, std::unique_ptr<QEvent>>> Later;

protected:
    bool eventFilter(QObject* watched, QEvent* e) override
    {
        if ((receiver_ && watched != receiver_) || (type_ != 0 && e->type() != type_) ||
            e->type() == QEvent::DeferredDelete)
            return false;
        std::unique_ptr<QEvent> copy(e->clone());
        if (!Taken) {
            Taken = std::move(copy);
            return true;
        }
        if (!copy || typeid(*copy) != typeid(*e))
            return false;
        Later.emplace_back(watched, std::move(copy));
        return true;
    }

private:
    QObject* receiver_;
    int type_;
};

} // namespace

void DiscardPendingMessage(QObject* receiver, int eventType)
{
    // Qt offers no removal of a single posted event: the events of the type are sent to a filter
    // that keeps the first and queues the others again.
    QCoreApplication* app = QCoreApplication::instance();
    if (!app || QThread::currentThread() != app->thread())
        return;
    TPostedEventTaker taker(receiver, eventType);
    QObject* watched = receiver ? receiver : app;
    watched->installEventFilter(&taker);
    QCoreApplication::sendPostedEvents(receiver, eventType);
    watched->removeEventFilter(&taker);
    for (auto& [target, event] : taker.Later)
        if (target)
            QCoreApplication::postEvent(target, event.release());
    if (taker.Taken && taker.Taken->type() == QEvent::Quit)
        QCoreApplication::postEvent(app, taker.Taken.release());
}

bool OwnsActiveWindow()
{
    // Every window of the program belongs to the GUI thread.
    return qobject_cast<QApplication*>(QCoreApplication::instance()) && QApplication::activeWindow() != nullptr;
}

// ---- Wait cursor --------------------------------------------------------------------------------

namespace {
int waitNesting = 0;
TCursor savedCursor = crDefault;
constexpr TCursor kWaitCursor = crHourGlass;
} // namespace

void BeginWaitCursor()
{
    if (waitNesting == 0) {
        savedCursor = ApplicationCursor();
        SetApplicationCursor(kWaitCursor);
    }
    ++waitNesting;
}

void EndWaitCursor()
{
    if (waitNesting <= 0)
        return;
    if (--waitNesting == 0)
        SetApplicationCursor(savedCursor);
}

int WaitCursorNesting()
{
    return waitNesting;
}

// ---- Messages -----------------------------------------------------------------------------------

std::function<void(const QString&)> ShowInformationMessage = [](const QString& text) {
    QMessageBox::information(nullptr, QCoreApplication::applicationName(), text, QMessageBox::Ok);
};

void ShowNotImplemented()
{
    SetApplicationCursor(crDefault);
    if (ShowInformationMessage)
        ShowInformationMessage(QStringLiteral("Function not yet implemented"));
    throw EAbort(QString());
}

// ---- Colours ------------------------------------------------------------------------------------

TColor ToPaletteRGB(TColor color)
{
    return ColorToRGB(color) | 0x02000000;
}

int GetPaletteSize(const std::vector<uint32_t>& palette)
{
    return int(std::min<size_t>(palette.size(), 65535));
}

// ---- Text ---------------------------------------------------------------------------------------

QString FitTextWithEllipsis(const QString& text, TCanvas* canvas, int width)
{
    QString result = text;
    for (int i = 2; canvas->TextWidth(result) > width; ++i) {
        if (i > text.size())
            return QStringLiteral("...");
        result = text.left(text.size() - i) + QStringLiteral("...");
    }
    return result;
}

// ---- Drawing ------------------------------------------------------------------------------------

void DrawBitmapTransparent(TCanvas* canvas, int x, int y, int width, int height, TBitmap* bitmap,
                           int srcX, int srcY, int srcWidth, int srcHeight, TColor keyColor)
{
    if (!canvas || !bitmap || bitmap->Empty())
        return;
    if (width < 1)
        width = bitmap->Width();
    if (height < 1)
        height = bitmap->Height();
    if (srcWidth < 1 || srcHeight < 1) {
        srcX = srcY = 0;
        srcWidth = bitmap->Width();
        srcHeight = bitmap->Height();
    }
    TCanvas* source = bitmap->Canvas();
    source->Lock();
    try {
        if (keyColor != clNone) {
            if (keyColor == clDefault)
                keyColor = RGBToColor(bitmap->PixelArgb(0, bitmap->Height() - 1));
            keyColor = bitmap->Monochrome() ? clWhite : ColorToRGB(keyColor);
        }
        canvas->BlitImage(Bounds(x, y, width, height), bitmap->ToImage(), Bounds(srcX, srcY, srcWidth, srcHeight),
                          keyColor == clNone ? canvas->CopyMode() : cmSrcCopy, keyColor);
    } catch (...) {
        source->Unlock();
        throw;
    }
    source->Unlock();
}

void DrawBitmapRectTransparent(TCanvas* canvas, int x, int y, int width, int height, const TRect& source,
                               TBitmap* bitmap, TColor keyColor)
{
    DrawBitmapTransparent(canvas, x, y, width, height, bitmap, source.Left, source.Top, source.Width(),
                          source.Height(), keyColor);
}

TBitmap* MakeDisabledBitmapEx(TBitmap* bitmap, TColor backColor, TColor faceColor, bool highlight,
                              TColor shadowColor, TColor highlightColor)
{
    auto* result = new TBitmap(bitmap->Width(), bitmap->Height(), pf24bit);
    try {
        const int w = bitmap->Width(), h = bitmap->Height();
        const TColor back = ColorToRGB(backColor);
        // The shape: every pixel that is not of the background colour.
        std::vector<bool> shape(size_t(w) * h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                shape[size_t(y) * w + x] = RGBToColor(bitmap->PixelArgb(x, y)) != back;
        auto argb = [](TColor c) {
            c = ColorToRGB(c);
            return 0xFF000000u | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        };
        const uint32_t face = argb(faceColor), shadow = argb(shadowColor), light = argb(highlightColor);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t c = face;
                if (highlight && x > 0 && y > 0 && shape[size_t(y - 1) * w + x - 1])
                    c = light;
                if (shape[size_t(y) * w + x])
                    c = shadow;
                result->SetPixelArgb(x, y, c);
            }
    } catch (...) {
        delete result;
        throw;
    }
    return result;
}

TBitmap* MakeDisabledBitmap(TBitmap* bitmap, TColor backColor)
{
    return MakeDisabledBitmapEx(bitmap, backColor, clBtnFace, true, clBtnShadow, clBtnHighlight);
}

namespace {

// The frame's window shows only its lines: the rest is cut away by its mask, which needs no
// compositing window manager, so the screen behind shows through on every desktop.
class TScreenFocusFrame : public QWidget {
public:
    TScreenFocusFrame(const TRect& rect, int count)
        : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), count_(count)
    {
        setObjectName(QStringLiteral("ScreenFocusFrame"));
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_ShowWithoutActivating);
        const QRect area(0, 0, rect.Right - rect.Left, rect.Bottom - rect.Top);
        const int inset = std::min(count, (std::min(area.width(), area.height()) + 1) / 2);
        setGeometry(rect.Left, rect.Top, area.width(), area.height());
        setMask(QRegion(area).subtracted(QRegion(area.adjusted(inset, inset, -inset, -inset))));
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        // Dots of black on white, seen on any background, as an inverted focus rectangle is.
        QPainter p(this);
        p.fillRect(rect(), Qt::white);
        QPen pen(QColor(0, 0, 0));
        pen.setStyle(Qt::DotLine);
        p.setPen(pen);
        for (int i = 0; i < count_ && 2 * i < std::min(width(), height()); ++i)
            p.drawRect(QRect(i, i, width() - 1 - 2 * i, height() - 1 - 2 * i));
    }

private:
    int count_;
};

} // namespace

void DrawScreenFocusFrame(const TRect& rect, int count)
{
    if (count <= 0 || rect.Right <= rect.Left || rect.Bottom <= rect.Top ||
        !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return;
    // The frames on the screen; a frame drawn again is taken away, as inverting it twice would.
    static std::map<std::tuple<int, int, int, int, int>, QPointer<QWidget>> shown;
    const auto key = std::make_tuple(rect.Left, rect.Top, rect.Right, rect.Bottom, count);
    const auto it = shown.find(key);
    if (it != shown.end()) {
        delete it->second.data();
        shown.erase(it);
        return;
    }
    auto* frame = new TScreenFocusFrame(rect, count);
    frame->show();
    shown.emplace(key, frame);
}

// ---- Start-up -----------------------------------------------------------------------------------

uint32_t CF_ICON = 0;

namespace {

// The hand: a pointing hand in black with a white outline, hot spot at the finger tip.
QCursor MakeHandCursor()
{
    static const char* kRows[] = {
        "      XX        ", "     X..X       ", "     X..X       ", "     X..X       ",
        "     X..XXX     ", "     X..X..XXX  ", " XX  X..X..X..XX", "X..X X........X.",
        "X...XX........X ", " X.............X", "  X............X", "  X...........X ",
        "   X..........X ", "    X........X  ", "     X.......X  ", "     XXXXXXXXX  ",
    };
    QImage img(16, 16, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const char c = kRows[y][x];
            if (c == 'X')
                img.setPixel(x, y, qRgb(0, 0, 0));
            else if (c == '.')
                img.setPixel(x, y, qRgb(255, 255, 255));
        }
    return QCursor(QPixmap::fromImage(img), 6, 0);
}

// The drag cursor: the arrow with a small sheet below it.
QCursor MakeDragCursor()
{
    QImage img(32, 32, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    const QPoint arrow[] = {{0, 0}, {0, 15}, {4, 11}, {7, 17}, {9, 16}, {6, 10}, {11, 10}};
    p.setPen(Qt::black);
    p.setBrush(Qt::white);
    p.drawPolygon(arrow, 7);
    p.drawRect(10, 18, 10, 8);
    p.end();
    return QCursor(QPixmap::fromImage(img), 0, 0);
}

} // namespace

void RegisterGraphicUtilities()
{
    if (!HasCursorShape(CursorHand))
        SetCursorShape(CursorHand, MakeHandCursor());
    if (!HasCursorShape(CursorDrag))
        SetCursorShape(CursorDrag, MakeDragCursor());
    if (CF_ICON == 0) {
        CF_ICON = RegisterClipboardFormat(QStringLiteral("Brelnova Icon"));
        TPicture::RegisterClipboardFormat(CF_ICON, GraphicClass<TIcon>());
    }
}
