// The splash as a real widget: up, centred and painted when ShowNow returns.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "startup/splash.h"

TEST(Splash, isUpCentredAndPaintedWhenShowReturns) {
    TfrmSplash splash;
    splash.ShowNow();
    EXPECT_TRUE(splash.isVisible());
    EXPECT_TRUE(splash.windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(splash.size(), QSize(430, 286));
    EXPECT_EQ(splash.geometry().center(), QGuiApplication::primaryScreen()->geometry().center());
    EXPECT_EQ(splash.findChild<QLabel*>("Image1")->pixmap().size(), QSize(430, 286));
}
