// The common set-up of the end-to-end tests: a fresh settings key, our own debug viewer, and the
// program started and ended cleanly around each test.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "debug_viewer.h"
#include "e2e_support.h"

class TrayTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Starts the program and waits for its first record (the tray switch, logged at 103).
    void StartTray(uint32_t trayEnabled = 1, uint32_t debugLevel = 103, uint32_t cameraStatus = 0);
    // Sends "EXIT" and expects a clean end: exit code 0 within the deadline.
    void ExpectCleanExit();

    DebugViewer viewer;
    TrayProcess tray;
    // Start the program as a standard user, its settings key with Windows' default rights.
    bool standardUser = false;
};
