#include "chm_browser.h"

#include <QDesktopServices>
#include <QTextDocument>

#include "chm_archive.h"
#include "help_texts.h"

QUrl ChmUrl(const QString& path) {
    QUrl url;
    url.setScheme(kChmScheme);
    url.setPath(path.startsWith('/') ? path : "/" + path);
    return url;
}

ChmBrowser::ChmBrowser(QWidget* parent) : QTextBrowser(parent) {
    // Links inside the help file are followed here; any other goes to the desktop.
    setOpenLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, &ChmBrowser::FollowLink);
}

void ChmBrowser::FollowLink(const QUrl& url) {
    if (url.scheme() == kChmScheme || url.isRelative())
        setSource(source().resolved(url));
    else
        QDesktopServices::openUrl(url);
}

QVariant ChmBrowser::loadResource(int type, const QUrl& name) {
    const QUrl url = name.isRelative() ? source().resolved(name) : name;
    if (url.scheme() != kChmScheme || !archive_) return QVariant();
    const QString path = url.path(QUrl::FullyDecoded);
    if (const std::optional<std::string> bytes = archive_->Read(path.toStdString()))
        return QByteArray(bytes->data(), static_cast<qsizetype>(bytes->size()));
    if (type == QTextDocument::HtmlResource) return help_texts::MissingTopicPage(path);
    return QVariant();
}
