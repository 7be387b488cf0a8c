// The page pane of the help window: a text browser whose pages, pictures and
// style sheets come out of the open help file (URLs of the scheme "chm").
#pragma once

#include <QTextBrowser>
#include <QUrl>

class ChmArchive;

inline constexpr const char* kChmScheme = "chm";

// "chm:/path" for a path inside the help file.
QUrl ChmUrl(const QString& path);

class ChmBrowser : public QTextBrowser {
    Q_OBJECT
public:
    explicit ChmBrowser(QWidget* parent = nullptr);

    // The archive the pages come from; null shows nothing. Not owned.
    void SetArchive(const ChmArchive* archive) { archive_ = archive; }

    QVariant loadResource(int type, const QUrl& name) override;

private:
    void FollowLink(const QUrl& url);

    const ChmArchive* archive_ = nullptr;
};
