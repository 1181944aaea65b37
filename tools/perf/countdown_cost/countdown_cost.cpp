// kry_countdown_cost [--steps N]: what one second of the self-timer countdown costs the program.
//
// Drives the program's own overlay window (CShapedBitmapWnd, with KRYTray's resources linked in)
// through the calls the controller makes on each countdown tick: Reshape, a full redraw, show.
// Times each step in this process (wall clock and process CPU time), and for comparison the same
// step with the shape's region rebuilt from the bitmap each time, and the rebuild alone.
// Results go to standard output as name=value lines.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "overlay/bitmap_region_win32.h"
#include "overlay/shaped_bitmap_wnd_win32.h"
#include "res/resource.h"
#include "tools/perf/process_cpu_win32.h"
#include "win/handles_win32.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr RECT kCountdownRect = {0, 0, 200, 150};  // as the program places its overlay
constexpr int kDigits = 5;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Handles what the steps left queued, as the program's message loop does between ticks.
void Pump() {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

UINT Digit(int step) {
    return IDB_OVERLAY_SHAPE + kDigits - step % kDigits;  // 5, 4, 3, 2, 1, 5, ...
}

// The controller's tick with the overlay up.
void CurrentStep(CShapedBitmapWnd& overlay, int step) {
    overlay.Reshape(IDB_OVERLAY_SHAPE, Digit(step));
    RedrawWindow(overlay.GetSafeHwnd(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ShowWindow(overlay.GetSafeHwnd(), SW_SHOW);
}

UniqueRegion BuildShapeRegion(HWND window) {
    const UniqueBitmap shape(
        LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDB_OVERLAY_SHAPE)));
    const WindowDc dc(window, GetWindowDC(window));
    return CreateShapeRegion(dc.get(), shape.get(), kCountdownRect.right, kCountdownRect.bottom);
}

// The same tick with the region cut afresh from the shape bitmap.
void RebuildingStep(CShapedBitmapWnd& overlay, int step) {
    const HWND window = overlay.GetSafeHwnd();
    UniqueRegion region = BuildShapeRegion(window);
    if (SetWindowRgn(window, region.get(), TRUE)) {
        region.release();  // the window owns it now
    }
    overlay.m_nPictureId = static_cast<WORD>(Digit(step));
    UpdateWindow(window);
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ShowWindow(window, SW_SHOW);
}

void Report(const char* name, std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    const double median = n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
    std::printf("%s.median=%.3f\n%s.p90=%.3f\n%s.worst=%.3f\n", name, median, name,
                values[n * 9 / 10], name, values.back());
}

template <typename Step>
void TimeSteps(const char* name, int steps, Step step) {
    std::vector<double> times;
    const double cpuBefore = ProcessCpuMs();
    for (int i = 0; i < steps; ++i) {
        const auto start = Clock::now();
        step(i);
        times.push_back(MsSince(start));
        Pump();
    }
    std::printf("%s.cpu_ms_per_step=%.3f\n", name, (ProcessCpuMs() - cpuBefore) / steps);
    Report(name, times);
}

}  // namespace

int main(int argc, char** argv) {
    int steps = 100;
    if (argc == 3 && std::strcmp(argv[1], "--steps") == 0) {
        steps = std::max(1, std::atoi(argv[2]));
    }
    CShapedBitmapWnd overlay;
    const auto created = Clock::now();
    overlay.CreateShaped("", kCountdownRect, IDB_OVERLAY_SHAPE, Digit(0));
    ShowWindow(overlay.GetSafeHwnd(), SW_SHOW);
    std::printf("first_step_ms=%.3f\n", MsSince(created));
    Pump();

    TimeSteps("step", steps, [&](int i) { CurrentStep(overlay, i); });
    TimeSteps("rebuilding_step", steps, [&](int i) { RebuildingStep(overlay, i); });
    TimeSteps("region_build", steps,
              [&](int) { const UniqueRegion region = BuildShapeRegion(overlay.GetSafeHwnd()); });
    std::printf("steps=%d\n", steps);
    return 0;
}
