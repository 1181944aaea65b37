// Once per run: keeps one icon of our own in the notification area, so that Wine's tray window
// stays shown between tests (showing and hiding it costs seconds without a window manager), and
// starts the program once so that every test finds Wine and DirectShow warm.
#include "e2e_support.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

class TrayEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        m_keeper = std::make_unique<KeeperIcon>();
        settings::Reset(1, 0, 0);
        TrayProcess warmUp;
        if (warmUp.Start()) {
            PollUntil([&] { return warmUp.ControllerWindow() != nullptr; }, 20s);
        }
    }

    void TearDown() override { m_keeper.reset(); }

private:
    std::unique_ptr<KeeperIcon> m_keeper;
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new TrayEnvironment);

}  // namespace
