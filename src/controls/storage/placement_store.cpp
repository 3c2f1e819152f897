#include "controls/storage/placement_store.h"

#include "controls/storage/str_utils.h"
#include "framework/application.h"
#include "framework/forms.h"
#include "framework/ini_file.h"
#include "framework/registry.h"
#include "framework/sysutils.h"
#include "platform/program_paths.h"

#include <QGuiApplication>
#include <QMetaObject>
#include <QScreen>
#include <QVariant>
#include <algorithm>

bool StorageUseAppTitle = false;
QString StorageCompanyName;
std::function<QString()> DefaultIniNameHook;

namespace {

const char* const kMinPosProperty = "brelnovaPlacementMinPos";
const char* const kMaxPosProperty = "brelnovaPlacementMaxPos";

QString ClassNameOf(const QObject* o)
{
    return QString::fromLatin1(o->metaObject()->className());
}

QString ProgramBaseName()
{
    return ExtractFileName(ProgramFileName());
}

bool IsMainForm(TForm* form)
{
    return form == Application->MainForm() || !Application->MainForm();
}

// A damaged store must not make a window larger than the desktop it is shown on.
QSize LargestWindow(TForm* form)
{
    QSize limit(4096, 4096);
    if (QScreen* s = QGuiApplication::primaryScreen())
        limit = limit.expandedTo(s->virtualSize());
    return limit.expandedTo(QSize(form->Width(), form->Height()));
}

} // namespace

QString DefaultStorageSection(const QObject* component)
{
    if (!component)
        return {};
    if (qobject_cast<const TForm*>(component))
        return ClassNameOf(component);
    if (auto control = qobject_cast<const TControl*>(component)) {
        if (TForm* form = control->ParentForm())
            return ClassNameOf(form) + control->objectName();
        if (QWidget* parent = control->parentWidget())
            return parent->objectName() + control->objectName();
        return control->objectName();
    }
    if (QObject* owner = ComponentOwner(component); owner && qobject_cast<TForm*>(owner))
        return ClassNameOf(owner) + QLatin1Char('.') + component->objectName();
    return component->objectName();
}

QString DefaultIniFileName()
{
    if (DefaultIniNameHook)
        return DefaultIniNameHook();
    return ChangeFileExt(ProgramBaseName(), QStringLiteral(".INI"));
}

QString DefaultRegistryKey()
{
    QString key = QStringLiteral("Software\\");
    if (!StorageCompanyName.isEmpty())
        key += StorageCompanyName + QLatin1Char('\\');
    if (StorageUseAppTitle && !Application->Title().isEmpty())
        key += Application->Title();
    else
        key += ChangeFileExt(ProgramBaseName(), QString());
    return key;
}

QString StoreReadString(TObject* store, const QString& section, const QString& key, const QString& def)
{
    if (auto reg = dynamic_cast<TRegIniFile*>(store))
        return reg->ReadString(section, key, def);
    if (auto ini = dynamic_cast<TCustomIniFile*>(store))
        return ini->ReadString(section, key, def);
    return def;
}

int StoreReadInteger(TObject* store, const QString& section, const QString& key, int def)
{
    if (auto reg = dynamic_cast<TRegIniFile*>(store))
        return reg->ReadInteger(section, key, def);
    if (auto ini = dynamic_cast<TCustomIniFile*>(store))
        return ini->ReadInteger(section, key, def);
    return def;
}

void StoreWriteString(TObject* store, const QString& section, const QString& key, const QString& value)
{
    if (auto reg = dynamic_cast<TRegIniFile*>(store)) {
        reg->WriteString(section, key, value);
    } else if (auto ini = dynamic_cast<TCustomIniFile*>(store)) {
        // Reading strips one pair of surrounding quotes; a value that has its own keeps them.
        const bool quoted = value.size() > 1 && (value.front() == QLatin1Char('"') || value.front() == QLatin1Char('\''))
                            && value.back() == value.front();
        ini->WriteString(section, key, quoted ? QLatin1Char('"') + value + QLatin1Char('"') : value);
    }
}

void StoreWriteInteger(TObject* store, const QString& section, const QString& key, int value)
{
    if (auto reg = dynamic_cast<TRegIniFile*>(store))
        reg->WriteInteger(section, key, value);
    else if (auto ini = dynamic_cast<TCustomIniFile*>(store))
        ini->WriteInteger(section, key, value);
}

void StoreEraseSection(TObject* store, const QString& section)
{
    if (auto reg = dynamic_cast<TRegIniFile*>(store))
        reg->EraseSection(section);
    else if (auto ini = dynamic_cast<TCustomIniFile*>(store))
        ini->EraseSection(section);
}

QString ScreenSizeSuffix()
{
    return QStringLiteral("(%1x%2)").arg(Screen->Width()).arg(Screen->Height());
}

QString ReadScreenKeyedString(TObject* store, const QString& section, const QString& key)
{
    const QString keyed = StoreReadString(store, section, key + ScreenSizeSuffix(), QString());
    return keyed.isEmpty() ? StoreReadString(store, section, key, QString()) : keyed;
}

void WriteScreenKeyedString(TObject* store, const QString& section, const QString& key, const QString& value)
{
    StoreWriteString(store, section, key + ScreenSizeSuffix(), value);
    StoreWriteString(store, section, key, value);
}

// --- window placement --------------------------------------------------------------------------

TWindowPlacement GetFormPlacement(TForm* form)
{
    TWindowPlacement wp;
    QWidget* w = form->MdiFrame() ? form->MdiFrame() : static_cast<QWidget*>(form);
    const TWindowState state = form->WindowState();
    wp.showCmd = state == wsMinimized ? SW_SHOWMINIMIZED : state == wsMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    if (state == wsMinimized && w->isVisible() && (w->windowState() & Qt::WindowMaximized))
        wp.flags |= WPF_RESTORETOMAXIMIZED;
    if (const QPoint p = form->property(kMinPosProperty).toPoint(); form->property(kMinPosProperty).isValid()) {
        wp.minX = p.x();
        wp.minY = p.y();
    }
    if (const QPoint p = form->property(kMaxPosProperty).toPoint(); form->property(kMaxPosProperty).isValid()) {
        wp.maxX = p.x();
        wp.maxY = p.y();
    }
    QRect r(form->Left(), form->Top(), form->Width(), form->Height());
    if (state != wsNormal && w->isVisible() && !form->MdiFrame() && w->normalGeometry().isValid()) {
        // The normal rectangle of a maximised window, in the form's own terms.
        const QRect ng = w->normalGeometry();
        r = QRect(ng.x() - (w->geometry().x() - form->Left()), ng.y() - (w->geometry().y() - form->Top()),
                  ng.width() - (w->width() - form->Width()), ng.height() - (w->height() - form->Height()));
    }
    wp.left = r.x();
    wp.top = r.y();
    wp.right = r.x() + r.width();
    wp.bottom = r.y() + r.height();
    return wp;
}

void SetFormPlacement(TForm* form, const TWindowPlacement& wp)
{
    form->setProperty(kMinPosProperty, QPoint(wp.minX, wp.minY));
    form->setProperty(kMaxPosProperty, QPoint(wp.maxX, wp.maxY));
    if (wp.right <= wp.left || wp.bottom <= wp.top)
        return;
    const QSize most = LargestWindow(form);
    const int width = std::min(wp.right - wp.left, most.width());
    const int height = std::min(wp.bottom - wp.top, most.height());
    QWidget* w = form->MdiFrame() ? form->MdiFrame() : static_cast<QWidget*>(form);
    const Qt::WindowStates states = w->windowState();
    if (w->isVisible() && (states & (Qt::WindowMaximized | Qt::WindowMinimized | Qt::WindowFullScreen))) {
        // The normal rectangle of a window in another state is set by passing through normal.
        w->setWindowState(Qt::WindowNoState);
        form->SetBounds(wp.left, wp.top, width, height);
        w->setWindowState(states);
    } else {
        form->SetBounds(wp.left, wp.top, width, height);
    }
}

void StorePlacementKeys(TForm* form, TObject* store, const QString& section)
{
    TWindowPlacement wp = GetFormPlacement(form);
    if (form == Application->MainForm() && form->isMinimized())
        wp.showCmd = SW_SHOWMINIMIZED;
    if (form->FormStyle() == fsMDIChild && form->WindowState() == wsMinimized)
        wp.flags |= WPF_SETMINPOSITION;
    StoreWriteInteger(store, section, QStringLiteral("Flags"), int(wp.flags));
    StoreWriteInteger(store, section, QStringLiteral("ShowCmd"), int(wp.showCmd));
    StoreWriteInteger(store, section, QStringLiteral("PixelsPerInch"), Screen->PixelsPerInch());
    WriteScreenKeyedString(store, section, QStringLiteral("MinMaxPos"),
                           QStringLiteral("%1,%2,%3,%4").arg(wp.minX).arg(wp.minY).arg(wp.maxX).arg(wp.maxY));
    WriteScreenKeyedString(store, section, QStringLiteral("NormPos"),
                           QStringLiteral("%1,%2,%3,%4").arg(wp.left).arg(wp.top).arg(wp.right).arg(wp.bottom));
}

void LoadPlacementKeys(TForm* form, TObject* store, const QString& section, bool restorePosition, bool restoreState)
{
    if (!restorePosition && !restoreState)
        return;
    TWindowPlacement wp = GetFormPlacement(form);
    if (!form->isVisible())
        wp.showCmd = SW_HIDE;
    if (restorePosition) {
        static const TCharSet delims{' ', ','};
        const auto word = [](const QString& s, int n, int def) { return StrToIntDef(NthWord(n, s, delims), def); };
        wp.flags = unsigned(StoreReadInteger(store, section, QStringLiteral("Flags"), int(wp.flags)));
        const QString minMax = ReadScreenKeyedString(store, section, QStringLiteral("MinMaxPos"));
        if (!minMax.isEmpty()) {
            wp.minX = word(minMax, 1, 0);
            wp.minY = word(minMax, 2, 0);
            wp.maxX = word(minMax, 3, 0);
            wp.maxY = word(minMax, 4, 0);
        }
        const QString norm = ReadScreenKeyedString(store, section, QStringLiteral("NormPos"));
        if (!norm.isEmpty()) {
            wp.left = word(norm, 1, form->Left());
            wp.top = word(norm, 2, form->Top());
            wp.right = word(norm, 3, form->Left() + form->Width());
            wp.bottom = word(norm, 4, form->Top() + form->Height());
        }
        const int ppi = StoreReadInteger(store, section, QStringLiteral("PixelsPerInch"), Screen->PixelsPerInch());
        if ((!minMax.isEmpty() || !norm.isEmpty()) && ppi == Screen->PixelsPerInch()) {
            if (form->BorderStyle() != bsSizeable && form->BorderStyle() != bsSizeToolWin) {
                wp.right = wp.left + form->Width();
                wp.bottom = wp.top + form->Height();
            }
            if (wp.right > wp.left) {
                // A centred form would be centred again; the stored place wins.
                if (form->Position() == poScreenCenter || form->Position() == poDesktopCenter)
                    form->SetPosition(poDesigned);
                SetFormPlacement(form, wp);
            }
        }
    }
    if (restoreState) {
        TWindowState state = wsNormal;
        if (IsMainForm(form)
            && (form->FormStyle() == fsMDIForm || (form->FormStyle() == fsNormal && form->Position() == poDefault)))
            state = wsMaximized;
        switch (StoreReadInteger(store, section, QStringLiteral("ShowCmd"), 0)) {
        case 1: case 5: case 9: state = wsNormal; break;
        case 2: case 6: case 7: state = wsMinimized; break;
        case 3: state = wsMaximized; break;
        default: break;
        }
        if (state == wsMinimized && IsMainForm(form)) {
            // The main window stays normal; the application as a whole is minimised.
            form->SetWindowState(wsNormal);
            QMetaObject::invokeMethod(Application, [] { Application->Minimize(); }, Qt::QueuedConnection);
            return;
        }
        form->SetWindowState(state);
    }
    form->update();
}
