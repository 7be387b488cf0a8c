// The main() of a window test: a QApplication on the X server in DISPLAY
// (./test.sh runs the suite under Xvfb), then every test.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>

#define SONMIRA_QT_TEST_MAIN()                  \
    int main(int argc, char** argv) {           \
        QApplication app(argc, argv);           \
        ::testing::InitGoogleTest(&argc, argv); \
        return RUN_ALL_TESTS();                 \
    }
