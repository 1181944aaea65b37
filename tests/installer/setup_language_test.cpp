// The language file the setup places, run by run_setup_tests.sh once per locale it gives Wine:
// the runner names the UI language and ANSI code page the locale must give and the file the
// setup must then install; the test checks both, then reads the installed program's menu. And the
// portable zip's program, which shows the same menu from the English texts built into it.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>  // after windows.h

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "setup_fixture.h"
#include "tests/e2e/e2e_support.h"
#include "tests/e2e/menu_driver.h"
#include "tests/e2e/screenshot.h"
#include "tests/e2e/sim_camera.h"

using namespace setup;
using menu_driver::MenuContents;
using menu_driver::PressKey;

namespace {

class SetupLanguageTest : public SetupTest {
protected:
    void SetUp() override {
        m_expectedFile = Environment("KRY_EXPECTED_INI");
        if (m_expectedFile.empty()) {
            GTEST_SKIP() << "no locale given: run_setup_tests.sh runs this once per locale";
        }
        SetupTest::SetUp();
    }

    void TearDown() override {
        if (m_expectedFile.empty()) {
            return;  // skipped
        }
        if (m_program != 0) {
            for (HWND menu : menu_driver::VisibleWindows(m_program, "#32768")) {
                PressKey(menu, VK_ESCAPE, 3);
            }
            menu_driver::WaitMenusClosed(m_program);
        }
        SetupTest::TearDown();
        sim::Reset();
    }

    // The text of `key` in the expected file, read as the program reads it.
    std::string ExpectedText(const std::string& key) const {
        char text[60] = "";
        GetPrivateProfileStringA("Language", key.c_str(), "", text, sizeof text,
                                 m_expectedFile.c_str());
        EXPECT_STRNE(text, "") << key << " is missing from " << m_expectedFile;
        return text;
    }

    // Each item at a position of `keys` shows that key's text ("" skips a position).
    void ExpectTexts(const MenuContents& menu, const std::vector<std::string>& keys,
                     const char* menuName) const {
        ASSERT_EQ(menu.items.size(), keys.size()) << menuName;
        for (size_t position = 0; position < keys.size(); ++position) {
            if (!keys[position].empty()) {
                EXPECT_EQ(menu.items[position].text, ExpectedText(keys[position]))
                    << menuName << " position " << position;
            }
        }
    }

    // Opens the plugged-in menu of `m_program` and its effects, as a user does, and checks every
    // text against the expected file.
    void ExpectMenuShowsTheExpectedTexts();

    std::string m_expectedFile;
    DWORD m_program = 0;
};

TEST_F(SetupLanguageTest, PlacesTheFileOfTheUiLanguageTheCodePageCanShow) {
    const LANGID uiLanguage = GetUserDefaultUILanguage();
    const UINT codePage = GetACP();
    std::printf("[ locale ] UI language 0x%04X, ANSI code page %u: expecting %s\n", uiLanguage,
                codePage, m_expectedFile.c_str());
    // The setup inherits this locale; it must be the one the expectation is for.
    ASSERT_EQ(uiLanguage, std::strtoul(Environment("KRY_UI_LANGUAGE").c_str(), nullptr, 0));
    ASSERT_EQ(codePage, std::strtoul(Environment("KRY_CODE_PAGE").c_str(), nullptr, 0));

    // A camera plugged in and active: the program the setup starts shows the whole menu.
    sim::Camctl("plug");
    sim::Camctl("active on");
    ASSERT_EQ(Install(), 0u);
    const auto expected = ReadFileBytes(m_expectedFile);
    ASSERT_TRUE(expected);
    EXPECT_EQ(ReadFileBytes(LanguageFilePath()), expected);

    m_program = WaitForCopy(kInstalledExe);
    ASSERT_NE(m_program, 0u) << "the setup did not start the installed program";
    ExpectMenuShowsTheExpectedTexts();
    const std::string shot = Environment("KRY_LANGUAGE_SHOT");
    if (!shot.empty()) {
        EXPECT_TRUE(SaveScreenshot(shot));
    }
}

void SetupLanguageTest::ExpectMenuShowsTheExpectedTexts() {
    constexpr UINT kIcon = menu_driver::kPluggedIcon;
    HWND icon = nullptr;
    ASSERT_TRUE(PollUntil(
        [&] { return (icon = menu_driver::TrayIconWindow(m_program, kIcon)) != nullptr; }, 5s))
        << "no plugged-in icon";
    HWND menuWindow = menu_driver::OpenTrayMenu(icon, kIcon);
    ASSERT_NE(menuWindow, nullptr);
    HMENU menu = menu_driver::MenuOfWindow(menuWindow);
    MenuContents top;
    ASSERT_TRUE(menu_driver::ReadMenu(m_program, menu, &top));
    ExpectTexts(top,
                {"", "", "ID_VIDEO_CAPTURE_FILTER", "IDD_EFFECT_PAGE_TITLE", "ID_SNAPONE", "",
                 "ID_QUICKLAUNCH", "", "ID_MENU_EXIT"},
                "menu");
    ASSERT_EQ(top.items.size(), 9u);
    MenuContents snapshot;
    ASSERT_TRUE(menu_driver::ReadMenu(m_program, top.items[4].submenu, &snapshot));
    ASSERT_FALSE(snapshot.items.empty());
    EXPECT_EQ(snapshot.items[0].text, ExpectedText("ID_SNAPONE_DELAY"));

    // The effects open, as a user sees them.
    PressKey(menuWindow, VK_DOWN, 3);  // title, "Video Capture Filter", effects
    ASSERT_TRUE(menu_driver::WaitHighlighted(m_program, menu, 3));
    PressKey(menuWindow, VK_RIGHT);
    HWND effectsWindow = menu_driver::WaitForNewMenuWindow(m_program, {menuWindow});
    ASSERT_NE(effectsWindow, nullptr);
    MenuContents effects;
    ASSERT_TRUE(
        menu_driver::ReadMenu(m_program, menu_driver::MenuOfWindow(effectsWindow), &effects));
    std::vector<std::string> keys;
    char key[32];
    for (int row = 1; row <= 21; ++row) {
        std::snprintf(key, sizeof key, "IDC_SE_RADIO%d", row);
        keys.push_back(key);
    }
    keys.push_back("");  // the separator
    for (int row = 1; row <= 11; ++row) {
        std::snprintf(key, sizeof key, "IDC_FRAME_RADIO%d", row);
        keys.push_back(key);
    }
    ExpectTexts(effects, keys, "effects");
}

// The portable zip's program, unpacked by the runner into a folder with blanks, on a machine the
// setup never touched (no language file), with the tray switch on as the driver leaves it.
class PortableCopyTest : public SetupLanguageTest {
protected:
    void SetUp() override {
        m_expectedFile = DefaultLanguageFile();
        SetupTest::SetUp();
        ASSERT_FALSE(Environment("KRY_PORTABLE_DIR").empty()) << "no unpacked portable zip";
        settings::SetDword("KRYTray", 1);
        sim::Camctl("plug");
        sim::Camctl("active on");
    }

    // Starts `exe` with these Wine DLL overrides added and waits for its controller.
    void StartCopy(const std::string& exe, const std::string& overrides = "") {
        const std::string before = Environment("WINEDLLOVERRIDES");
        const std::string added = overrides.empty() ? before : before + ";" + overrides;
        SetEnvironmentVariableA("WINEDLLOVERRIDES", added.c_str());
        const auto started = Start(Quoted(exe));
        SetEnvironmentVariableA("WINEDLLOVERRIDES", before.c_str());
        ASSERT_TRUE(started) << exe;
        m_program = WaitForCopy(exe);
        ASSERT_NE(m_program, 0u) << exe << " shows no controller";
    }
};

TEST_F(PortableCopyTest, RunsFromAFolderWithBlanksWithTheBuiltInEnglishTexts) {
    ASSERT_FALSE(PathExists(LanguageFilePath()));
    StartCopy(Environment("KRY_PORTABLE_DIR") + "\\KRYTray.exe");
    ExpectMenuShowsTheExpectedTexts();
}

// DLLs planted beside a downloaded copy are never loaded once the program runs: it loads the
// common dialogs by full path, and the search limit keeps to the system folder the uxtheme.dll
// that Wine's libraries load by bare name when the dialogs open.
TEST_F(PortableCopyTest, LoadsNoLibraryPlantedBesideIt) {
    const std::string dir = "C:\\Downloads\\KRYTray";
    std::filesystem::create_directories(dir);
    const std::string exe = dir + "\\KRYTray.exe";
    ASSERT_TRUE(
        CopyFileA((Environment("KRY_PORTABLE_DIR") + "\\KRYTray.exe").c_str(), exe.c_str(), FALSE));
    for (const char* name : {"version", "comdlg32", "uxtheme"}) {  // the probe stands in for each
        ASSERT_TRUE(CopyFileA((BinDirectory() + "\\krymenu_probe.dll").c_str(),
                              (dir + "\\" + name + ".dll").c_str(), FALSE));
    }
    StartCopy(exe, "version,comdlg32,uxtheme=n,b");  // Wine's own DLLs come second
    PostMessageA(ControllerWindowOf(m_program), WM_COMMAND, 32785, 0);  // Quick Launch Setting
    HWND dialog = nullptr;
    ASSERT_TRUE(PollUntil(
        [&] { return (dialog = FindProcessWindow(m_program, "#32770", "Dialog", true)); }, 3s));
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0);  // "Open": the file dialog
    EXPECT_TRUE(
        PollUntil([&] { return FindProcessWindow(m_program, "#32770", "Open", true); }, 5s));

    const UniqueKernelHandle process(
        OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, m_program));
    const auto loadedFrom = [&](const char* name) {
        char path[MAX_PATH] = "";
        const auto module = reinterpret_cast<HMODULE>(ProcessModuleBase(process.get(), name));
        if (module != nullptr) {
            K32GetModuleFileNameExA(process.get(), module, path, sizeof path);
        }
        return std::filesystem::path(path).parent_path().string();
    };
    // Wine's own start-up loads version.dll by bare name before the program's first line: the
    // planted copies do load where nothing limits the search.
    EXPECT_EQ(loadedFrom("version.dll"), dir);
    EXPECT_NE(loadedFrom("comdlg32.dll"), "") << "the file dialog's library";
    EXPECT_NE(loadedFrom("comdlg32.dll"), dir);
    EXPECT_NE(loadedFrom("uxtheme.dll"), dir);
}

}  // namespace
