#include "platform/help_viewer.h"

#include "platform/program_paths.h"

#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPointer>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QUrl>
#include <cerrno>

namespace {

QString HelpFolderFor(const QString& file)
{
    if (file.trimmed().isEmpty())
        return ProgramFolder() + QStringLiteral("help/");
    const QString local = LocalPath(file.trimmed());
    QString dir = QFileInfo(local).path();
    if (!dir.endsWith(QLatin1Char('/')))
        dir += QLatin1Char('/');
    return dir + QStringLiteral("help/");
}

// The program's help window: the contents on the left, the page on the right.
class HelpViewerWindow : public QWidget {
public:
    explicit HelpViewerWindow(QWidget* owner) : QWidget(owner, Qt::Window)
    {
        setAttribute(Qt::WA_DeleteOnClose);
        setObjectName(QStringLiteral("HelpViewer"));
        auto* splitter = new QSplitter(this);
        contents_ = new QTreeWidget(splitter);
        contents_->setHeaderHidden(true);
        contents_->setRootIsDecorated(false);
        browser_ = new QTextBrowser(splitter);
        browser_->setOpenExternalLinks(true);
        splitter->setStretchFactor(1, 1);
        splitter->setSizes({200, 600});
        auto* layout = new QHBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(splitter);
        resize(820, 600);
        connect(contents_, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
            browser_->setSource(QUrl::fromLocalFile(folder_ + item->data(0, Qt::UserRole).toString()));
        });
        connect(browser_, &QTextBrowser::sourceChanged, this, [this](const QUrl& url) {
            setWindowTitle(browser_->documentTitle());
            SelectContentsEntry(QFileInfo(url.toLocalFile()).fileName());
        });
    }

    void Show(const HelpLocation& where)
    {
        if (where.Folder != folder_) {
            folder_ = where.Folder;
            FillContents();
        }
        QUrl url = QUrl::fromLocalFile(folder_ + where.Page);
        if (!where.Anchor.isEmpty())
            url.setFragment(where.Anchor);
        browser_->setSource(url);
        page_ = where.Page + (where.Anchor.isEmpty() ? QString() : QLatin1Char('#') + where.Anchor);
        show();
        raise();
        activateWindow();
    }

    QString Page() const { return page_; }

private:
    // The contents page lists the topics as links; the pane shows the same list.
    void FillContents()
    {
        contents_->clear();
        QFile f(folder_ + QLatin1String(kHelpContentsPage));
        if (!f.open(QIODevice::ReadOnly))
            return;
        const QString html = QString::fromUtf8(f.read(1 << 20));
        auto* top = new QTreeWidgetItem(contents_, {QStringLiteral("Contents")});
        top->setData(0, Qt::UserRole, QString::fromLatin1(kHelpContentsPage));
        static const QRegularExpression link(QStringLiteral("<a\\s+href=\"([^\"]+)\"[^>]*>([^<]+)</a>"),
                                             QRegularExpression::CaseInsensitiveOption);
        for (auto it = link.globalMatch(html); it.hasNext();) {
            const QRegularExpressionMatch m = it.next();
            const QString target = m.captured(1);
            if (target.contains(QLatin1Char(':')))
                continue; // web links are not topics
            auto* item = new QTreeWidgetItem(contents_, {m.captured(2).trimmed()});
            item->setData(0, Qt::UserRole, target);
        }
    }

    void SelectContentsEntry(const QString& page)
    {
        for (int i = 0; i < contents_->topLevelItemCount(); ++i) {
            QTreeWidgetItem* item = contents_->topLevelItem(i);
            if (item->data(0, Qt::UserRole).toString().section(QLatin1Char('#'), 0, 0) == page) {
                contents_->setCurrentItem(item);
                return;
            }
        }
    }

    QTreeWidget* contents_;
    QTextBrowser* browser_;
    QString folder_;
    QString page_;
};

QPointer<HelpViewerWindow> g_window;

} // namespace

HelpLocation MapHelpPath(const QString& path)
{
    HelpLocation where;
    QString rest = path;
    const qsizetype gt = rest.lastIndexOf(QLatin1Char('>'));
    if (gt >= 0) {
        where.Window = rest.mid(gt + 1);
        rest = rest.left(gt);
    }
    const qsizetype sep = rest.indexOf(QLatin1String("::"));
    QString topic;
    if (sep >= 0) {
        topic = rest.mid(sep + 2);
        rest = rest.left(sep);
    }
    where.Folder = HelpFolderFor(rest);
    while (topic.startsWith(QLatin1Char('/')) || topic.startsWith(QLatin1Char('\\')))
        topic.remove(0, 1);
    const qsizetype hash = topic.indexOf(QLatin1Char('#'));
    if (hash >= 0) {
        where.Anchor = topic.mid(hash + 1);
        topic = topic.left(hash);
    }
    // A topic is a page of the folder itself, never a path out of it.
    const bool plainName = !topic.isEmpty() && !topic.contains(QLatin1Char('/')) && !topic.contains(QLatin1Char('\\'))
                           && topic != QLatin1String("..");
    if (plainName && QFileInfo(where.Folder + topic).isFile()) {
        where.Page = topic;
    } else {
        where.Page = QString::fromLatin1(kHelpContentsPage);
        where.Anchor.clear();
    }
    return where;
}

QWidget* HtmlHelp(QWidget* owner, const QString& path, unsigned command, uintptr_t data)
{
    Q_UNUSED(data);
    if (command == HH_CLOSE_ALL) {
        if (g_window)
            delete g_window.data();
        return nullptr;
    }
    if (command != HH_DISPLAY_TOPIC && command != HH_DISPLAY_TOC && command != HH_HELP_CONTEXT) {
        errno = EINVAL;
        return nullptr;
    }
    HelpLocation where = MapHelpPath(path);
    if (command == HH_HELP_CONTEXT) {
        where.Page = QString::fromLatin1(kHelpContentsPage);
        where.Anchor.clear();
    }
    if (!QFileInfo(where.Folder + where.Page).isFile()) {
        errno = ENOENT;
        return nullptr;
    }
    QWidget* parent = owner ? owner->window() : nullptr;
    if (g_window && g_window->parentWidget() != parent) {
        g_window->setParent(parent, Qt::Window);
    }
    if (!g_window)
        g_window = new HelpViewerWindow(parent);
    g_window->Show(where);
    return g_window;
}

QWidget* HelpWindow()
{
    return g_window;
}

QString HelpWindowPage()
{
    return g_window ? g_window->Page() : QString();
}
