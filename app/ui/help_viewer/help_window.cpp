#include "help_window.h"

#include <QAction>
#include <QFileInfo>
#include <QHeaderView>
#include <QSplitter>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>

#include "chm_archive.h"
#include "chm_browser.h"
#include "help_texts.h"
#include "sitemap.h"
#include "ui_font.h"

namespace {

constexpr int kTopicRole = Qt::UserRole;

// Topics compare by their path inside the file, without a fragment.
QString TopicKey(const QUrl& url) { return url.adjusted(QUrl::RemoveFragment | QUrl::RemoveQuery).path().toLower(); }

void Name(QWidget* w, const char* objectName, const QString& accessibleName) {
    w->setObjectName(objectName);
    w->setAccessibleName(accessibleName);
}

}  // namespace

HelpWindow::HelpWindow(QWidget* parent) : QMainWindow(parent) {
    Name(this, "helpWindow", help_texts::kCaption);
    setWindowTitle(help_texts::kCaption);
    setFont(SongFont(12));
    resize(900, 640);

    auto* tools = addToolBar(help_texts::kToolBar);
    Name(tools, "helpToolBar", help_texts::kToolBar);
    tools->setMovable(false);
    tools->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    const auto addButton = [&](QStyle::StandardPixmap icon, const char* text, const char* name) {
        QAction* action = tools->addAction(style()->standardIcon(icon), text);
        action->setObjectName(QString(name) + "Action");
        Name(tools->widgetForAction(action), name, text);
        return action;
    };
    back_ = addButton(QStyle::SP_ArrowBack, help_texts::kBack, "helpBackButton");
    forward_ = addButton(QStyle::SP_ArrowForward, help_texts::kForward, "helpForwardButton");
    home_ = addButton(QStyle::SP_DirHomeIcon, help_texts::kHome, "helpHomeButton");
    back_->setShortcut(QKeySequence::Back);
    forward_->setShortcut(QKeySequence::Forward);

    auto* split = new QSplitter(this);
    Name(split, "helpSplitter", help_texts::kCaption);
    contents_ = new QTreeWidget(split);
    Name(contents_, "helpContents", help_texts::kContents);
    contents_->setHeaderLabel(help_texts::kContents);
    contents_->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    page_ = new ChmBrowser(split);
    Name(page_, "helpPage", help_texts::kPage);
    page_->setFont(SongFont(14));
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({230, 670});
    setCentralWidget(split);

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(back_, &QAction::triggered, page_, &QTextBrowser::backward);
    connect(forward_, &QAction::triggered, page_, &QTextBrowser::forward);
    connect(home_, &QAction::triggered, this, &HelpWindow::GoHome);
    connect(page_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
    connect(page_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);
    connect(page_, &QTextBrowser::sourceChanged, this, &HelpWindow::MarkTopic);
    connect(contents_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* item) {
        if (!marking_) TopicChosen(item);
    });
    connect(contents_, &QTreeWidget::itemClicked, this, &HelpWindow::TopicChosen);
}

HelpWindow::~HelpWindow() {
    // The page may still ask for resources while it goes: let it find none.
    page_->SetArchive(nullptr);
}

void HelpWindow::ShowFile(const QString& path, const QString& topic) {
    if (path != path_ || !archive_) OpenArchive(path);
    if (!archive_) return;
    page_->setSource(ChmUrl(topic.isEmpty() ? DefaultTopic() : topic));
}

void HelpWindow::OpenArchive(const QString& path) {
    path_ = path;
    page_->SetArchive(nullptr);
    contents_->clear();
    archive_ = ChmArchive::Open(QFile::encodeName(path).toStdString());
    page_->clearHistory();
    page_->SetArchive(archive_.get());
    home_->setEnabled(archive_ != nullptr);
    if (!archive_) {
        page_->setSource(QUrl());
        page_->setHtml(help_texts::UnopenedFilePage(path, QFileInfo::exists(path)));
        return;
    }
    std::string sitemap;
    if (!archive_->ContentsFile().empty()) sitemap = archive_->Read(archive_->ContentsFile()).value_or("");
    FillContents(nullptr, ParseSitemap(sitemap));
    contents_->expandToDepth(0);
}

// The file's own default topic, else the first topic of its contents, else
// its first page.
QString HelpWindow::DefaultTopic() const {
    if (!archive_->DefaultTopic().empty()) return QString::fromStdString(archive_->DefaultTopic());
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        const QString local = (*it)->data(0, kTopicRole).toString();
        if (!local.isEmpty()) return local;
    }
    const std::vector<std::string> pages = archive_->Pages();
    return pages.empty() ? QString() : QString::fromStdString(pages.front());
}

void HelpWindow::FillContents(QTreeWidgetItem* parent, const std::vector<SitemapEntry>& entries) {
    for (const SitemapEntry& e : entries) {
        auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(contents_);
        item->setText(0, QString::fromStdString(e.name));
        if (!e.local.empty()) item->setData(0, kTopicRole, QString::fromStdString(ChmPath(e.local)));
        FillContents(item, e.children);
    }
}

void HelpWindow::GoHome() {
    if (archive_) page_->setSource(ChmUrl(DefaultTopic()));
}

void HelpWindow::TopicChosen(QTreeWidgetItem* item) {
    if (!item) return;
    const QString local = item->data(0, kTopicRole).toString();
    if (!local.isEmpty() && TopicKey(ChmUrl(local)) != TopicKey(page_->source())) page_->setSource(ChmUrl(local));
}

// Keeps the contents tree on the page shown, however it was reached.
void HelpWindow::MarkTopic(const QUrl& url) {
    const QString key = TopicKey(url);
    for (QTreeWidgetItemIterator it(contents_); *it; ++it) {
        const QString local = (*it)->data(0, kTopicRole).toString();
        if (!local.isEmpty() && TopicKey(ChmUrl(local)) == key) {
            marking_ = true;
            contents_->setCurrentItem(*it);
            marking_ = false;
            return;
        }
    }
}
