#include "controls/html_help.h"

#include "framework/application.h"
#include "framework/exceptions.h"
#include "framework/forms.h"
#include "framework/sysutils.h"
#include "platform/help_viewer.h"
#include "platform/program_paths.h"

#include <QPointer>
#include <QWidget>
#include <vector>

namespace {

// The instances in creation order. The last living one owns the application's help event;
// entries are guarded pointers, so a window destroyed in any order is never called.
std::vector<QPointer<THtmlHelp>>& HelpChain()
{
    static std::vector<QPointer<THtmlHelp>> chain;
    return chain;
}

void Unlink(THtmlHelp* help)
{
    auto& chain = HelpChain();
    std::erase_if(chain, [help](const QPointer<THtmlHelp>& p) { return p.isNull() || p.data() == help; });
}

QWidget* ActiveFormWidget()
{
    return Screen->ActiveForm();
}

} // namespace

THtmlHelp::THtmlHelp(QObject* AOwner) : TComponent(AOwner)
{
    if (!(ComponentState() & csDesigning))
        HelpChain().push_back(this);
}

THtmlHelp::~THtmlHelp()
{
    Unlink(this);
}

void THtmlHelp::SetDefaultFile(bool v)
{
    if (v)
        chmFile_.clear();
    defaultFile_ = v;
}

void THtmlHelp::Loaded()
{
    TComponent::Loaded();
    if ((ComponentState() & csDesigning) || !defaultFile_)
        return;
    chmFile_ = Application->HelpFile();
    if (ExtractFilePath(chmFile_).isEmpty())
        chmFile_ = ProgramFolder() + chmFile_;
}

QString THtmlHelp::BuildHelpPath(const QString& topic) const
{
    QString path = chmFile_;
    if (!topic.isEmpty())
        path += QStringLiteral("::") + topic;
    if (!winDef_.isEmpty())
        path += QLatin1Char('>') + winDef_;
    return path;
}

bool THtmlHelp::HandleAppHelp(uint16_t Command, int32_t Data, bool& CallHelp)
{
    CallHelp = false;
    switch (Command) {
    case HELP_CONTEXT:
    case HELP_CONTEXTPOPUP:
        if (Data < 0)
            throw Exception(QStringLiteral("Range check error"));
        ShowHelpContext(Data);
        break;
    case HELP_FINDER:
        HtmlHelp(ActiveFormWidget(), BuildHelpPath(QString()), HH_DISPLAY_TOC, 0);
        break;
    default:
        break;
    }
    return true;
}

QWidget* THtmlHelp::ShowHelpContext(int32_t id)
{
    return HtmlHelp(ActiveFormWidget(), BuildHelpPath(QString()), HH_HELP_CONTEXT, uintptr_t(uint32_t(id)));
}

bool ApplicationHelpCommand(uint16_t command, int32_t data)
{
    auto& chain = HelpChain();
    std::erase_if(chain, [](const QPointer<THtmlHelp>& p) { return p.isNull(); });
    if (chain.empty())
        return false;
    bool callHelp = true;
    return chain.back()->HandleAppHelp(command, data, callHelp);
}
