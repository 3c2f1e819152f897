#include "skin/controls/url_label.h"

#include <QDesktopServices>
#include <QUrl>

TsuiURLLabel::TsuiURLLabel(QWidget* parent) : TCustomLabel(parent)
{
    SetParentFont(false);
    Font()->SetStyle(Font()->Style() | fsUnderline);
    Font()->SetColor(linkColor_);
    SetCursor(crHandPoint);
    SetAutoSize(true);
    SetCaption(QStringLiteral("Link"));
}

void TsuiURLLabel::SetURL(const QString& url)
{
    if (url != url_)
        url_ = url;
}

void TsuiURLLabel::SetFontLinkColor(TColor c)
{
    linkColor_ = c;
    Font()->SetColor(c);
}

void TsuiURLLabel::MouseEnter()
{
    Font()->SetColor(hoverColor_);
    TCustomLabel::MouseEnter();
}

void TsuiURLLabel::MouseLeave()
{
    Font()->SetColor(linkColor_);
    TCustomLabel::MouseLeave();
}

void TsuiURLLabel::Click()
{
    const QString url = url_.trimmed();
    // A link that cannot be opened is not reported.
    if (!url.isEmpty())
        QDesktopServices::openUrl(QUrl::fromUserInput(url));
    TCustomLabel::Click();
}
