#include "controls/control_text.h"

#include "framework/beep.h"
#include "framework/canvas.h"

#include <QFontMetrics>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>

std::function<void()> DefaultBeep = [] { MessageBeep(MB_OK); };

namespace {

int QtTextFlags(uint32_t flags)
{
    int q = (flags & DT_CENTER) ? Qt::AlignHCenter : (flags & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    if (flags & DT_SINGLELINE) {
        q |= Qt::TextSingleLine;
        q |= (flags & DT_VCENTER) ? Qt::AlignVCenter : (flags & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    } else {
        q |= Qt::AlignTop;
    }
    if (flags & DT_WORDBREAK)
        q |= Qt::TextWordWrap;
    if (flags & DT_EXPANDTABS)
        q |= Qt::TextExpandTabs;
    if (!(flags & DT_NOPREFIX))
        q |= Qt::TextShowMnemonic;
    return q;
}

} // namespace

int DrawText(TCanvas* canvas, const QString& text, TRect& rect, uint32_t flags)
{
    if (!canvas || text.isEmpty()) {
        if (flags & DT_CALCRECT) {
            rect.Right = rect.Left;
            rect.Bottom = rect.Top;
        }
        return 0;
    }
    const QFont font = canvas->Font()->ToQFont();
    const int q = QtTextFlags(flags);
    if (flags & DT_CALCRECT) {
        const QFontMetrics fm(font);
        // Without word breaks the text takes the width it needs, whatever the rectangle's.
        const int width = (flags & DT_WORDBREAK) ? std::max(1, rect.Width()) : 1 << 20;
        const QRect box = fm.boundingRect(QRect(0, 0, width, 1 << 20), q & ~(Qt::AlignHCenter | Qt::AlignRight), text);
        rect.Right = rect.Left + box.width();
        rect.Bottom = rect.Top + box.height();
        return box.height();
    }
    QPainter* p = canvas->Handle();
    if (!p)
        return 0;
    canvas->Changing();
    p->save();
    p->setFont(font);
    p->setPen(ColorToQColor(canvas->Font()->Color()));
    QRect used;
    const QRect box(rect.Left, rect.Top, std::max(0, rect.Width()), std::max(0, rect.Height()));
    p->drawText(box, q | ((flags & DT_NOCLIP) ? Qt::TextDontClip : 0), text, &used);
    p->restore();
    canvas->Changed();
    return used.height();
}

QChar AcceleratorOf(const QString& text)
{
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != QLatin1Char('&'))
            continue;
        if (text[i + 1] != QLatin1Char('&'))
            return text[i + 1].toUpper();
        ++i;
    }
    return QChar();
}

bool EditsTextWithoutCharacter(WORD key, TShiftState shift)
{
    const bool ctrl = shift & ssCtrl;
    if (key == VK_DELETE)
        return true;
    if (key == VK_INSERT && (shift & ssShift) && !ctrl)
        return true;
    if (key == VK_BACK && ctrl)
        return true;
    return ctrl && key >= 'A' && key <= 'Z' && key != 'A' && key != 'C';
}

void ShowCopyOnlyContextMenu(QLineEdit* edit, const QPoint& globalPos)
{
    std::unique_ptr<QMenu> menu(edit->createStandardContextMenu());
    for (QAction* a : menu->actions()) {
        const QString n = a->objectName();
        if (n == QLatin1String("edit-cut") || n == QLatin1String("edit-paste") || n == QLatin1String("edit-delete")
            || n == QLatin1String("edit-undo") || n == QLatin1String("edit-redo"))
            a->setEnabled(false);
    }
    menu->exec(globalPos);
}
