// sonmira-render-art OUT_DIR NAME=SVG:WxH[,WxH...]...
// Draws the program's SVG pictures once, at build time, at the sizes the
// program shows them, and writes each as its bare pixels (premultiplied ARGB,
// 32 bits per pixel in the machine's order, row after row) to
// OUT_DIR/NAME_WxH.argb32, with OUT_DIR/art.qrc listing them as
// art/NAME_WxH.argb32. While it starts, the program then neither draws SVG
// nor decodes an image format (whose plug-ins Qt would load first).
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QTextStream>
#include <cstdio>

namespace {

bool Render(const QString& svgPath, const QSize& size, const QString& outPath) {
    QSvgRenderer svg(svgPath);
    if (!svg.isValid()) return false;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        svg.render(&painter, QRectF(QPointF(0, 0), size));
    }
    QFile out(outPath);
    const qint64 bytes = image.sizeInBytes();
    return image.bytesPerLine() == size.width() * 4 && out.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           out.write(reinterpret_cast<const char*>(image.constBits()), bytes) == bytes;
}

}  // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);  // text in the pictures needs the font database
    const QStringList args = app.arguments();
    if (args.size() < 3) {
        std::fprintf(stderr, "usage: sonmira-render-art OUT_DIR NAME=SVG:WxH[,WxH...]...\n");
        return 2;
    }
    const QDir out(args[1]);
    if (!out.mkpath(".")) {
        std::fprintf(stderr, "sonmira-render-art: cannot make %s\n", qPrintable(args[1]));
        return 1;
    }
    QString qrc = "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n";
    for (int i = 2; i < args.size(); ++i) {
        const QString spec = args[i];
        const int eq = spec.indexOf('='), colon = spec.lastIndexOf(':');
        if (eq <= 0 || colon < eq) {
            std::fprintf(stderr, "sonmira-render-art: not NAME=SVG:WxH: %s\n", qPrintable(spec));
            return 2;
        }
        const QString name = spec.left(eq), svg = spec.mid(eq + 1, colon - eq - 1);
        for (const QString& dims : spec.mid(colon + 1).split(',')) {
            const QStringList wh = dims.split('x');
            const QSize size(wh.value(0).toInt(), wh.value(1).toInt());
            if (wh.size() != 2 || size.isEmpty()) {
                std::fprintf(stderr, "sonmira-render-art: not a size: %s\n", qPrintable(dims));
                return 2;
            }
            const QString file = QString("%1_%2x%3.argb32").arg(name).arg(size.width()).arg(size.height());
            if (!Render(svg, size, out.filePath(file))) {
                std::fprintf(stderr, "sonmira-render-art: %s could not be drawn to %s\n", qPrintable(svg),
                             qPrintable(out.filePath(file)));
                return 1;
            }
            qrc += QString("  <file alias=\"art/%1\">%1</file>\n").arg(file);
        }
    }
    qrc += "</qresource>\n</RCC>\n";
    QFile list(out.filePath("art.qrc"));
    if (!list.open(QIODevice::WriteOnly | QIODevice::Truncate) || list.write(qrc.toUtf8()) != qrc.toUtf8().size()) {
        std::fprintf(stderr, "sonmira-render-art: cannot write %s\n", qPrintable(list.fileName()));
        return 1;
    }
    return 0;
}
