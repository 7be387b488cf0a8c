#include "startup/splash.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>

#include "art/art.h"

TfrmSplash::TfrmSplash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName("frmSplash");
    setAccessibleName("岚舟语音编程器");
    setFixedSize(430, 286);
    auto* picture = new QLabel(this);
    picture->setObjectName("Image1");
    picture->setAccessibleName("岚舟语音编程器");
    picture->setGeometry(0, 0, 430, 286);
    picture->setPixmap(SplashPicture());
}

void TfrmSplash::ShowNow() {
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        move(area.x() + (area.width() - width()) / 2, area.y() + (area.height() - height()) / 2);
    }
    show();
    repaint();
    QCoreApplication::processEvents();
}
