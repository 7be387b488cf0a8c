// The help window: a contents tree on the left, the page on the right, and
// back, forward and home (the default topic) on its tool bar. One help file at
// a time; a file that cannot be opened is reported on the page itself.
#pragma once

#include <QMainWindow>
#include <QUrl>
#include <memory>

class ChmArchive;
class ChmBrowser;
class QAction;
class QTreeWidget;
class QTreeWidgetItem;
struct SitemapEntry;

class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);
    ~HelpWindow() override;

    // Shows `topic` of the help file at `path` (its default topic when empty),
    // opening the file unless it is the one shown already.
    void ShowFile(const QString& path, const QString& topic = QString());

    const QString& FilePath() const { return path_; }

private:
    void OpenArchive(const QString& path);
    QString DefaultTopic() const;
    void FillContents(QTreeWidgetItem* parent, const std::vector<SitemapEntry>& entries);
    void GoHome();
    void TopicChosen(QTreeWidgetItem* item);
    void MarkTopic(const QUrl& url);

    QString path_;
    std::unique_ptr<ChmArchive> archive_;
    ChmBrowser* page_;
    QTreeWidget* contents_;
    QAction* back_;
    QAction* forward_;
    QAction* home_;
    bool marking_ = false;
};
