#include "art.h"

#include <QPainter>
#include <QSvgRenderer>

// The pictures live in this static library: make sure they are registered.
// (Outside any namespace: the resource's registration function is global.)
static void InitArt() {
    static const bool done = [] {
        Q_INIT_RESOURCE(art);
        return true;
    }();
    (void)done;
}

namespace {

QIcon SmallIcon(const QString& resource) {
    QIcon icon;
    icon.addPixmap(RenderArt(resource, 16, 16));
    icon.addPixmap(RenderArt(resource, 32, 32));
    return icon;
}

}  // namespace

QPixmap RenderArt(const QString& resource, int width, int height) {
    InitArt();
    QPixmap pixmap(width, height);
    pixmap.fill(Qt::transparent);
    QSvgRenderer svg(resource);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    svg.render(&painter, QRectF(0, 0, width, height));
    return pixmap;
}

QIcon ImageListIcon(int index) {
    if (index < 0 || index >= kImageListCount) return QIcon();
    return SmallIcon(QString(":/art/tool%1.svg").arg(index, 2, 10, QChar('0')));
}

QIcon HeaderIcon(HeaderIconId which) {
    return SmallIcon(which == HeaderIconId::FileManager ? ":/art/header_files.svg" : ":/art/header_list.svg");
}

QIcon PointingHandIcon() { return SmallIcon(":/art/pointing_hand.svg"); }

QPixmap SplashPicture() { return RenderArt(":/art/splash.svg", 430, 286); }

QPixmap AboutPicture() { return RenderArt(":/art/about.svg", 89, 33); }
