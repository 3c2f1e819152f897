#include "framework/commands.h"

#include "framework/application.h"
#include "framework/controls.h"
#include "framework/forms.h"
#include "framework/menus.h"
#include "framework/tool_bar.h"

bool HasClickHandler(QObject* component)
{
    if (auto c = qobject_cast<TControl*>(component))
        return bool(c->OnClick);
    if (auto m = qobject_cast<TMenuItem*>(component))
        return bool(m->OnClick);
    return false;
}

QStringList CommandsWithoutHandler(const TForm* form)
{
    QStringList out;
    if (!form)
        return out;
    for (QObject* o : form->findChildren<QObject*>()) {
        if (o->objectName().isEmpty() || HasClickHandler(o))
            continue;
        if (auto* item = qobject_cast<TMenuItem*>(o)) {
            if (!item->IsLine() && item->Count() == 0)
                out << o->objectName();
        } else if (auto* tool = qobject_cast<TToolButton*>(o)) {
            if (!tool->IsSeparator())
                out << o->objectName();
        } else if ((o->inherits("TButton") || o->inherits("TsuiCustomButton") || o->inherits("TSpeedButton"))
                   && o->property("ModalResult").toInt() == 0) {
            out << o->objectName();
        }
    }
    out.sort();
    return out;
}

bool ClickComponent(QObject* component)
{
    if (!HasClickHandler(component))
        return false;
    if (auto c = qobject_cast<TControl*>(component)) {
        RunGuarded([c] { c->Click(); }, c);
        return true;
    }
    auto m = qobject_cast<TMenuItem*>(component);
    if (!m->Enabled())
        return false;
    m->Click();
    return true;
}

bool ClickComponentByName(TForm* form, const QString& componentName)
{
    if (!form)
        return false;
    return ClickComponent(form->FindComponent(componentName));
}

bool RunCommandByName(const QString& windowName, const QString& componentName)
{
    return ClickComponentByName(FindForm(windowName), componentName);
}
