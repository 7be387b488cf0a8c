// Every picture is compiled in and draws something. With SONMIRA_ART_SHEET
// set, the pictures and the dialogs are also drawn into that PNG file, to
// look at them.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <cstdlib>

#include "dialogs/about_box.h"
#include "art/art.h"
#include "dialogs/settings_dialog.h"

namespace {

// Share of pixels that are not fully transparent.
double Covered(const QPixmap& p) {
    const QImage img = p.toImage().convertToFormat(QImage::Format_ARGB32);
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) n += qAlpha(img.pixel(x, y)) > 0;
    return img.isNull() ? 0 : double(n) / (img.width() * img.height());
}

void WriteSheet(const char* path) {
    QImage sheet(900, 520, QImage::Format_ARGB32);
    sheet.fill(QColor("#f0f0f0"));
    QPainter p(&sheet);
    for (int i = 0; i < kImageListCount + 3; ++i) {
        QIcon icon = ImageListIcon(i);
        if (i == kImageListCount) icon = HeaderIcon(HeaderIconId::FileManager);
        if (i == kImageListCount + 1) icon = HeaderIcon(HeaderIconId::FileList);
        if (i == kImageListCount + 2) icon = PointingHandIcon();
        const int x = 10 + (i % 9) * 48, y = 10 + (i / 9) * 70;
        p.drawPixmap(x, y, icon.pixmap(16, 16));
        p.drawPixmap(x, y + 20, icon.pixmap(16, 16).scaled(40, 40));
    }
    p.drawPixmap(450, 10, SplashPicture());
    p.drawPixmap(10, 230, AboutPicture());
    TAboutBox1 about;
    about.show();
    p.drawPixmap(120, 220, about.grab());
    TfrmPath settings;
    settings.show();
    p.drawPixmap(450, 320, settings.grab());
    p.end();
    sheet.save(path);
}

}  // namespace

TEST(Art, everyPictureIsCompiledInAndDrawsSomething) {
    for (int i = 0; i < kImageListCount; ++i) {
        const QPixmap p = ImageListIcon(i).pixmap(16, 16);
        EXPECT_EQ(p.size(), QSize(16, 16)) << i;
        EXPECT_GT(Covered(p), 0.05) << i;
    }
    EXPECT_TRUE(ImageListIcon(kImageListCount).isNull());
    EXPECT_GT(Covered(HeaderIcon(HeaderIconId::FileManager).pixmap(16, 16)), 0.05);
    EXPECT_GT(Covered(HeaderIcon(HeaderIconId::FileList).pixmap(16, 16)), 0.05);
    EXPECT_GT(Covered(PointingHandIcon().pixmap(16, 16)), 0.05);
    EXPECT_EQ(SplashPicture().size(), QSize(430, 286));
    EXPECT_GT(Covered(SplashPicture()), 0.99);
    EXPECT_EQ(AboutPicture().size(), QSize(89, 33));
    EXPECT_GT(Covered(AboutPicture()), 0.9);
    if (const char* sheet = std::getenv("SONMIRA_ART_SHEET")) WriteSheet(sheet);
}
