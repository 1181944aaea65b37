// The one fake of the controller's platform and of its tray icons. Everything they are asked
// lands in one ordered list of events, with the camera's calls and the debug records that a
// test adds beside them. Switches:
//   found      what discovery finds; `listChanged` whether it saw another device list
//   session    what the system says of this copy's session
//   now        the clock
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/controller_platform.h"
#include "fake_camera.h"

// An ordered list of what happened. The poller thread adds to it too, hence the lock.
class Recorder {
public:
    void Add(std::string event) {
        std::lock_guard lock(m_mutex);
        m_events.push_back(std::move(event));
    }
    std::vector<std::string> Take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_events, {});
    }
    bool Contains(const std::string& event) {
        std::lock_guard lock(m_mutex);
        return std::find(m_events.begin(), m_events.end(), event) != m_events.end();
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_events;
};

inline std::string Hex(uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", value);
    return text;
}

class FakeTrayIcon : public ITrayIcon {
public:
    FakeTrayIcon(Recorder& recorder, unsigned id, int& liveIcons)
        : m_recorder(recorder), m_id(std::to_string(id)), m_liveIcons(liveIcons) {
        ++m_liveIcons;
    }
    ~FakeTrayIcon() override {
        --m_liveIcons;
        m_recorder.Add("tray gone " + m_id);
    }
    void SetSelfTimerChecked(bool checked) override {
        m_recorder.Add("tray check " + m_id + " " + std::to_string(checked));
    }
    void DeleteTrayIcon() override { m_recorder.Add("tray delete " + m_id); }
    void EnsureShown() override { m_recorder.Add("tray ensure " + m_id); }

private:
    Recorder& m_recorder;
    std::string m_id;
    int& m_liveIcons;
};

class FakePlatform : public IControllerPlatform {
public:
    FakePlatform(Recorder& recorder, FakeCamera& camera) : m_recorder(recorder), m_camera(camera) {}

    int liveIcons = 0;
    int mostLiveIcons = 0;
    TrayMenuData lastMenu;                 // what the newest icon's menu shows
    std::pair<uint32_t, uint32_t> polled;  // the last status the poller handed over
    DiscoveryResult found = DiscoveryResult::Held;
    bool listChanged = false;
    SessionState session;
    std::chrono::milliseconds statusTimer{0};
    std::chrono::steady_clock::time_point now{};

    std::unique_ptr<ITrayIcon> CreateTrayIcon(int iconResourceId, unsigned trayId,
                                              bool selfTimerChecked, TrayMenuData menu) override {
        m_recorder.Add("tray add " + std::to_string(iconResourceId) + "/" + std::to_string(trayId) +
                       " checked " + std::to_string(selfTimerChecked));
        lastMenu = std::move(menu);
        auto icon = std::make_unique<FakeTrayIcon>(m_recorder, trayId, liveIcons);
        mostLiveIcons = std::max(mostLiveIcons, liveIcons);
        return icon;
    }
    void StartProgram(const std::u16string& path) override {
        m_recorder.Add("start " + AnsiText(path));
    }
    // An ASCII code page.
    std::string AnsiText(const std::u16string& text) override {
        std::string ansi;
        for (const char16_t unit : text) {
            ansi += unit < 0x80 ? static_cast<char>(unit) : '?';
        }
        return ansi;
    }
    void SetCountdownTimer() override { m_recorder.Add("timer set"); }
    void KillCountdownTimer() override { m_recorder.Add("timer kill"); }
    void ShowCountdownOverlay(int pictureBitmapId) override {
        m_recorder.Add("overlay " + std::to_string(pictureBitmapId));
    }
    void HideCountdownOverlay() override { m_recorder.Add("overlay hide"); }
    void RunQuickLaunchDialog() override { m_recorder.Add("quick launch dialog"); }
    // Sets `present` as `found` says; a camera found, or opened afresh, is no longer gone.
    DiscoveryOutcome FindCamera(DiscoveryRequest request, std::atomic<uint8_t>& present) override {
        const bool changed = std::exchange(listChanged, false);
        if (request == DiscoveryRequest::LookIfChanged && !changed) {
            m_recorder.Add("find unchanged");
            return {DiscoveryResult::NoneWorking, false};
        }
        const bool afresh = request == DiscoveryRequest::Reopen;
        m_recorder.Add(afresh ? "find afresh" : "find");
        m_camera.gone = m_camera.gone && !afresh && found != DiscoveryResult::Held;
        present = found == DiscoveryResult::Held ? 1 : 0;
        return {found, changed};
    }
    void CloseCamera(std::atomic<uint8_t>& present) override {
        m_recorder.Add("close");
        present = 0;
        m_camera.gone = false;
    }
    void SetStatusTimer(std::chrono::milliseconds period) override { statusTimer = period; }
    std::chrono::steady_clock::time_point Now() override { return now; }
    SessionState QuerySession() override { return session; }
    void RequestStatusCheck(uint32_t status, uint32_t epoch) override {
        m_recorder.Add("check requested " + Hex(status));
        polled = {status, epoch};
    }
    void DestroyControllerWindow() override { m_recorder.Add("destroy window"); }

private:
    Recorder& m_recorder;
    FakeCamera& m_camera;
};
