#include "art/art.h"

#include <QImage>
#include <QResource>
#include <QString>
#include <cstring>

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

// The build's pixels of art/NAME drawn at width × height; null when missing.
// An opaque picture is taken as RGB32 (the same bytes, its alpha all 255),
// so that nothing converts it on its way to the screen.
QPixmap Picture(const QString& name, int width, int height, bool opaque = false) {
    InitArt();
    const QResource pixels(QString(":/art/%1_%2x%3.argb32").arg(name).arg(width).arg(height));
    QImage image(width, height, opaque ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (!pixels.isValid() || pixels.compressionAlgorithm() != QResource::NoCompression ||
        pixels.size() != image.sizeInBytes())
        return QPixmap();
    std::memcpy(image.bits(), pixels.data(), static_cast<size_t>(pixels.size()));
    return QPixmap::fromImage(image);
}

QIcon SmallIcon(const QString& name) {
    QIcon icon;
    for (int side : {16, 32}) icon.addPixmap(Picture(name, side, side));
    return icon;
}

}  // namespace

QIcon ImageListIcon(int index) {
    if (index < 0 || index >= kImageListCount) return QIcon();
    return SmallIcon(QString("tool%1").arg(index, 2, 10, QChar('0')));
}

QIcon HeaderIcon(HeaderIconId which) {
    return SmallIcon(which == HeaderIconId::FileManager ? "header_files" : "header_list");
}

QIcon PointingHandIcon() { return SmallIcon("pointing_hand"); }

QIcon ProgramIcon() {
    QIcon icon = SmallIcon("program");
    icon.addPixmap(Picture("program", 48, 48));
    return icon;
}

QPixmap SplashPicture() { return Picture("splash", 430, 286, true); }

QPixmap AboutPicture() { return Picture("about", 89, 33); }
