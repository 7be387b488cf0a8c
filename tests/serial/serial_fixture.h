// Fresh pseudo-terminal as COM1 for every test; the port is closed afterwards
// because the library's port object outlives each test.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>

#include "Commport.h"
#include "pty_peer.h"

namespace sertra_test {

class SerialTest : public ::testing::Test {
protected:
    void SetUp() override {
        pty = std::make_unique<PtyPair>();
        setenv("SERTRA_COM1", pty->path().c_str(), 1);
        SetCommPort(1);
        SetCommBaud(9600);
        SetFrameHead(0x12);
    }

    void TearDown() override {
        ClosePort();
        for (const char* name : {"SERTRA_COM1", "SERTRA_COM2", "SERTRA_COM3", "SERTRA_COM4"}) unsetenv(name);
    }

    std::unique_ptr<PtyPair> pty;
};

}  // namespace sertra_test
