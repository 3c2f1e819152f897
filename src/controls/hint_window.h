#pragma once

// Hint windows. Once a hint window class is set, the program shows every control's hint in a
// window of that class instead of the desktop's own tooltip; InstallStyledHintWindow sets
// TRxHintWindow, which draws the hint as a rectangle, rounded rectangle or ellipse with an
// optional drop shadow and a speech-bubble tail towards the mouse cursor.
//
// The parts of a styled hint outside its shape show the screen as it was just before the hint
// appeared, where the screen can be read (X11); elsewhere (Wayland, offscreen) they show the hint
// colour.

#include "framework/graphics.h"
#include "framework/types.h"

#include <QImage>
#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QPainterPath;

// The style of every styled hint window; set only by InstallStyledHintWindow.
extern uint8_t HintShape;      // 0 rectangle, 1 rounded rectangle, 2 ellipse
extern uint8_t HintShadowSize; // shadow offset in pixels, 0 for none
extern bool HintTail;          // a tail towards the cursor
extern int HintAlignment;      // text alignment: 0 left, 1 right, 2 centre

// The plain hint window: a rectangle in the hint colour with a raised edge and the text.
class THintWindow : public QWidget {
    Q_OBJECT
public:
    explicit THintWindow(QWidget* parent = nullptr);
    ~THintWindow() override;

    QString Caption() const { return caption_; }
    TFont* Font() const { return font_.get(); }
    TColor Color() const { return color_; }
    void SetColor(TColor c) { color_ = c; }

    // The window rectangle for the hint, top-left at (0, 0).
    virtual TRect CalcHintRect(int maxWidth, const QString& hint, void* data = nullptr);
    // Shows the hint in rect (screen coordinates), without taking the focus.
    virtual void ActivateHint(const TRect& rect, const QString& hint);
    void ActivateHintData(const TRect& rect, const QString& hint, void*) { ActivateHint(rect, hint); }
    void ReleaseHint() { hide(); }

protected:
    void paintEvent(QPaintEvent* e) override;
    // The picture of the window, the size of its client area.
    virtual void PaintHint(QImage& target);
    void SetCaption(const QString& c) { caption_ = c; }
    uint32_t TextFlags(int alignment) const;

private:
    QString caption_;
    std::unique_ptr<TFont> font_;
    TColor color_;
};

class TRxHintWindow : public THintWindow {
    Q_OBJECT
public:
    explicit TRxHintWindow(QWidget* parent = nullptr);
    ~TRxHintWindow() override;

    TRect CalcHintRect(int maxWidth, const QString& hint, void* data = nullptr) override;
    void ActivateHint(const TRect& rect, const QString& hint) override;
    // ActivateHint with the mouse cursor at cursor (screen coordinates).
    void ActivateHintAt(const TRect& rect, const QString& hint, TPoint cursor);

    // Drawn with a shape, a shadow or a tail rather than plain.
    static bool Styled();
    TRect BodyRect() const { return body_; }
    TRect TextRect() const { return text_; }
    // Which side of the cursor the window is on: 0 above right, 1 above left, 2 below right,
    // 3 below left.
    int TailPosition() const { return tailPosition_; }
    // Whether the screen under the window was captured for its last showing.
    bool ScreenCaptured() const { return !background_.isNull(); }

protected:
    void PaintHint(QImage& target) override;

private:
    QPainterPath BuildRegion(bool shadowed, bool outline = false) const;

    TRect body_;
    TRect text_;
    int cornerSize_ = 0;
    int tailSize_ = 0;
    int tailShift_ = 0;
    int tailPosition_ = 2;
    QImage background_;
};

using THintWindowClass = std::function<THintWindow*()>;

// Makes the program show every hint in a window made by windowClass; a hint window that exists
// is dropped so that the next hint comes in the new class at once. An empty class gives the
// desktop's own tooltips back.
void SetHintWindowClass(THintWindowClass windowClass);
// Stores the style and makes TRxHintWindow the program's hint window class.
void InstallStyledHintWindow(uint8_t shape, uint8_t shadowSize, bool tail, int alignment);
// The hint window now showing or last shown; null before the first hint.
THintWindow* CurrentHintWindow();
