// main() of the window tests: the program's own application object around
// GoogleTest, so widgets are real and exceptions reach its error box. The
// tests run under a real X server (xvfb-run).
#include <gtest/gtest.h>

#include "startup/sonmira_application.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    SonmiraApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
