#include "framework/commands.h"

#include "framework/application.h"
#include "framework/controls.h"
#include "framework/forms.h"
#include "framework/menus.h"

bool HasClickHandler(QObject* component)
{
    if (auto c = qobject_cast<TControl*>(component))
        return bool(c->OnClick);
    if (auto m = qobject_cast<TMenuItem*>(component))
        return bool(m->OnClick);
    return false;
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
