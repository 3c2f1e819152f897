#include "document/icon_info.h"

#include "document/command_dialog.h"
#include "document/icon_document.h"
#include "document/newiconview.h"
#include "framework/memo.h"
#include "framework/string_list.h"

#include <QFileInfo>

Ticon_info* icon_info = nullptr;

namespace {
const QString kUnknown = QStringLiteral("-");
} // namespace

Ticon_info::Ticon_info(QWidget* owner) : TForm(owner)
{
    RegisterDocumentClasses();
    LoadDefinition(QStringLiteral(":/document/icon_info.wdf"));
    KeepAsSecondaryWindow(*this);
    KeepDialogTitleButtons(*this, false);
}

Ticon_info::~Ticon_info()
{
    if (icon_info == this)
        icon_info = nullptr;
}

Ticon_info& IconInfo()
{
    if (!icon_info)
        icon_info = new Ticon_info(nullptr);
    return *icon_info;
}

QString Ticon_info::LabelText(const QString& name) const
{
    QObject* label = FindComponent(name);
    return label ? label->property("Caption").toString() : QString();
}

QString Ticon_info::FormatLines() const
{
    auto* memo = qobject_cast<TCustomMemo*>(FindComponent(QStringLiteral("suiMemo1")));
    return memo ? memo->Lines()->Text() : QString();
}

void Ticon_info::ShowDocument(const TIconDocument& doc)
{
    auto set = [this](const char* name, const QString& text) {
        if (QObject* label = FindComponent(QLatin1String(name)))
            label->setProperty("Caption", text);
    };
    const QString path = doc.SavedFileName.trimmed();
    const QFileInfo file(doc.SavedFileName);
    if (path.isEmpty()) {
        set("filename", kUnknown);
        set("tel", kUnknown);
        set("filesize", kUnknown);
    } else {
        set("filename", doc.SavedFileName);
        set("tel", file.fileName());
        set("filesize", file.isFile() ? QString::number(file.size()) : kUnknown);
    }
    auto* memo = qobject_cast<TCustomMemo*>(FindComponent(QStringLiteral("suiMemo1")));
    if (!memo)
        return;
    TStrings* lines = memo->Lines();
    lines->Clear();
    for (int f = 1; f <= doc.FormatCount(); ++f)
        lines->Add(QString::number(f) + QStringLiteral(") ") + doc.FormatTable.Width(f) + QStringLiteral(" * ") +
                   doc.FormatTable.Height(f) + QStringLiteral(" - ") + doc.FormatTable.Kind(f));
}

void Ticon_info::FormShow(TObject*)
{
    TakeMainWindowSkin(*this);
}
