#include "win/dark_menus_win32.h"

#include "win/dark_menus.h"
#include "win/handles_win32.h"
#include "win/system_library_win32.h"

namespace {

constexpr WORD kSetPreferredAppModeOrdinal = 135;
constexpr WORD kFlushMenuThemesOrdinal = 136;
constexpr int kAppModeDefault = 0;
constexpr int kAppModeAllowDark = 1;

using SetPreferredAppModeFunction = int(WINAPI*)(int);
using FlushMenuThemesFunction = void(WINAPI*)();
using RtlGetVersionFunction = LONG(WINAPI*)(RTL_OSVERSIONINFOW*);

bool HighContrastOn() {
    HIGHCONTRASTW highContrast{};
    highContrast.cbSize = sizeof highContrast;
    return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof highContrast, &highContrast, 0) &&
           (highContrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

// uxtheme's app-mode functions, looked up only on a Windows whose build gives the numbers that
// meaning. The version query of ntdll answers the true version, whatever the manifest says.
class AppModeFunctions {
public:
    static AppModeFunctions& Get() {
        static AppModeFunctions functions;
        return functions;
    }

    void Apply() const {
        if (m_setPreferredAppMode == nullptr || m_flushMenuThemes == nullptr) {
            return;
        }
        const bool dark = AllowDarkMenus(m_majorVersion, m_build, HighContrastOn());
        m_setPreferredAppMode(dark ? kAppModeAllowDark : kAppModeDefault);
        m_flushMenuThemes();
    }

private:
    AppModeFunctions() {
        const auto getVersion =
            LookUpLoadedFunction<RtlGetVersionFunction>(L"ntdll.dll", "RtlGetVersion");
        RTL_OSVERSIONINFOW version{};
        version.dwOSVersionInfoSize = sizeof version;
        if (getVersion == nullptr || getVersion(&version) != 0) {
            return;
        }
        m_majorVersion = version.dwMajorVersion;
        m_build = version.dwBuildNumber;
        if (!AppModeExportsKnown(m_majorVersion, m_build)) {
            return;
        }
        m_uxtheme = LoadSystemLibrary(L"uxtheme.dll");
        m_setPreferredAppMode = LookUpOrdinal<SetPreferredAppModeFunction>(
            m_uxtheme.get(), kSetPreferredAppModeOrdinal);
        m_flushMenuThemes =
            LookUpOrdinal<FlushMenuThemesFunction>(m_uxtheme.get(), kFlushMenuThemesOrdinal);
    }

    uint32_t m_majorVersion = 0;
    uint32_t m_build = 0;
    UniqueModule m_uxtheme;
    SetPreferredAppModeFunction m_setPreferredAppMode = nullptr;
    FlushMenuThemesFunction m_flushMenuThemes = nullptr;
};

bool NamesAppTheme(LPARAM lParam) {
    const auto area = reinterpret_cast<const wchar_t*>(lParam);
    return area != nullptr &&
           CompareStringOrdinal(area, -1, L"ImmersiveColorSet", -1, TRUE) == CSTR_EQUAL;
}

}  // namespace

void FollowAppThemeInMenus() {
    AppModeFunctions::Get().Apply();
}

void OnMenuThemeSettingChange(WPARAM wParam, LPARAM lParam) {
    if (wParam == SPI_SETHIGHCONTRAST || NamesAppTheme(lParam)) {
        AppModeFunctions::Get().Apply();
    }
}
