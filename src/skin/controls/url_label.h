#pragma once

// A hyperlink label: clicking opens URL with the desktop's handler; the text changes colour
// under the mouse.

#include "framework/label.h"

class TsuiURLLabel : public TCustomLabel {
    Q_OBJECT
    Q_PROPERTY(QString URL READ URL WRITE SetURL)
    Q_PROPERTY(uint FontHoverColor READ FontHoverColor WRITE SetFontHoverColor)
    Q_PROPERTY(uint FontLinkColor READ FontLinkColor WRITE SetFontLinkColor)

public:
    explicit TsuiURLLabel(QWidget* parent = nullptr);

    QString URL() const { return url_; }
    void SetURL(const QString& url);
    TColor FontHoverColor() const { return hoverColor_; }
    void SetFontHoverColor(TColor c) { hoverColor_ = c; }
    TColor FontLinkColor() const { return linkColor_; }
    void SetFontLinkColor(TColor c);

    // Opens URL (unless it is blank), then runs OnClick.
    void Click() override;

protected:
    void MouseEnter() override;
    void MouseLeave() override;

private:
    QString url_;
    TColor hoverColor_ = clRed;
    TColor linkColor_ = clBlue;
};
