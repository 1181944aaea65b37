// What the controller's logic asks of the window system: the tray icon, program launches, the
// countdown timer and overlay, the Quick Launch dialog and the controller window itself.
// Portable: no Windows headers.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <memory>
#include <string>

#include "app/session_gate.h"
#include "camera/discovery.h"
#include "tray/tray_icon.h"

class IControllerPlatform {
public:
    virtual ~IControllerPlatform() = default;

    // Builds a tray icon object, sets its check mark, loads icon resource `iconResourceId` and
    // shows it with the id `trayId` (also the id of the menu it shows), a tip naming the program
    // (and the camera, for the plugged-in look) and the controller's tray notification message.
    // Its menu shows `menu`. A failed add still returns the object.
    virtual std::unique_ptr<ITrayIcon> CreateTrayIcon(int iconResourceId, unsigned trayId,
                                                      bool selfTimerChecked, TrayMenuData menu) = 0;

    // Starts `path` with the argument vector {path, "", ""} without waiting for it; the name is
    // looked up as given, then along the executable search path. Failures are not reported.
    virtual void StartProgram(const std::u16string& path) = 0;
    // `text` in the system's ANSI code page, a character it lacks as '?': debug records carry a
    // path so.
    virtual std::string AnsiText(const std::u16string& text) = 0;

    // The self-timer tick, once a second; setting it again restarts it.
    virtual void SetCountdownTimer() = 0;
    virtual void KillCountdownTimer() = 0;

    // Shows the countdown overlay with the given picture bitmap, creating it when none shows.
    virtual void ShowCountdownOverlay(int pictureBitmapId) = 0;
    // Removes the overlay when there is one.
    virtual void HideCountdownOverlay() = 0;

    // The Quick Launch Setting dialog, modal; returns when it closes.
    virtual void RunQuickLaunchDialog() = 0;

    // Device discovery, which keeps `present` (1 while it holds an open camera). See
    // DiscoveryRequest for what each request may open.
    virtual DiscoveryOutcome FindCamera(DiscoveryRequest request,
                                        std::atomic<uint8_t>& present) = 0;
    // Closes the open camera and clears `present` first.
    virtual void CloseCamera(std::atomic<uint8_t>& present) = 0;

    // The controller's status timer: its period, 0 to stop it. Setting the period it has
    // already leaves it running as it is.
    virtual void SetStatusTimer(std::chrono::milliseconds period) = 0;
    [[nodiscard]] virtual std::chrono::steady_clock::time_point Now() = 0;
    // Whether this copy's session is the console's and is locked, as the system says now.
    virtual SessionState QuerySession() = 0;

    // Hands a status the poller read to OnPolledStatus on the user-interface thread, soon.
    // Called from the poller's thread.
    virtual void RequestStatusCheck(uint32_t status, uint32_t epoch) = 0;

    // Destroys the controller window, which ends the program.
    virtual void DestroyControllerWindow() = 0;
};
