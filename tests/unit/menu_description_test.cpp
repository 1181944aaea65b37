#include "tray/menu_description.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "camera/capability_tables.h"
#include "fake_language_texts.h"
#include "res/resource.h"
#include "tray/menu_anchor.h"

namespace {

// A language file with a distinct text for every key the menus use.
FakeLanguageTexts FullLanguageFile() {
    FakeLanguageTexts texts;
    for (const char* key : {"ID_QUICKLAUNCH", "ID_MENU_EXIT", "ID_VIDEO_CAPTURE_FILTER",
                            "IDD_EFFECT_PAGE_TITLE", "ID_SNAPONE", "ID_SNAPONE_DELAY"}) {
        texts.values[key] = std::string("T:") + key;
    }
    for (const EffectRow& row : EffectTable) {
        if (row.nEffectId != 0) {
            texts.values[row.szIniKey] = std::string("T:") + row.szIniKey;
        }
    }
    return texts;
}

const std::vector<std::string> kVgaSizes = {"160x120",  "176x144", "320x240",  "352x288",
                                            "640x480",  "800x600", "1024x768", "1280x720",
                                            "1280x800", "1280x960"};

struct Calls {
    int effectSupport = 0;
    int sizeList = 0;
};

TrayMenuInputs Inputs(int iconId, Calls& calls, int supported = 1,
                      std::vector<std::string> sizes = kVgaSizes) {
    TrayMenuInputs in;
    in.iconId = iconId;
    in.effectSupport = [&calls, supported] {
        ++calls.effectSupport;
        return supported;
    };
    in.buildSizeList = [&calls, sizes](std::vector<std::string>& list) {
        ++calls.sizeList;
        list = sizes;
    };
    in.effectTable = EffectTable;
    in.effectCount = kEffectTableRows;
    return in;
}

struct Row {
    int position;
    uint32_t id;
    std::string text;
    MenuItemKind kind;
    uint32_t flags;
};

void ExpectItems(const std::vector<MenuItem>& items, const std::vector<Row>& expected) {
    ASSERT_EQ(items.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        SCOPED_TRACE("item " + std::to_string(i));
        EXPECT_EQ(items[i].position, expected[i].position);
        EXPECT_EQ(items[i].id, expected[i].id);
        EXPECT_EQ(items[i].text, expected[i].text);
        EXPECT_EQ(items[i].kind, expected[i].kind);
        EXPECT_EQ(items[i].flags, expected[i].flags);
        EXPECT_EQ(items[i].checked, (expected[i].flags & kMenuFlagChecked) != 0);
    }
}

constexpr auto S = MenuItemKind::String;
constexpr auto Sep = MenuItemKind::Separator;
constexpr auto Pop = MenuItemKind::Popup;

// --- The two menus as shown ------------------------------------------------------------

TEST(TrayMenu, PluggedInMenuHasBothSubmenusBetweenFilterAndQuickLaunch) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    const auto menu = BuildTrayMenu(Inputs(IDR_MENU_PLUGGED, calls), texts);
    ASSERT_TRUE(menu);

    ExpectItems(menu->items, {{0, 32783, "ZOZEZA Tray", S, 1024},
                              {1, 0, "", Sep, 3072},
                              {2, 32786, "T:ID_VIDEO_CAPTURE_FILTER", S, 1024},
                              {3, 0, "T:IDD_EFFECT_PAGE_TITLE", Pop, 1040},
                              {4, 0, "T:ID_SNAPONE", Pop, 1040},
                              {5, 0, "", Sep, 3072},
                              {6, 32785, "T:ID_QUICKLAUNCH", S, 1024},
                              {7, 0, "", Sep, 3072},
                              {8, 32798, "T:ID_MENU_EXIT", S, 1024}});
    EXPECT_EQ(menu->defaultPosition, 0);
    EXPECT_TRUE(menu->items[0].isDefault);
    EXPECT_EQ(menu->effectsSupported, 1);
    EXPECT_EQ(calls.effectSupport, 1);
    EXPECT_EQ(calls.sizeList, 1);
}

TEST(TrayMenu, UnpluggedMenuHasNoSubmenusAndNeverAsksTheCamera) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    const auto menu = BuildTrayMenu(Inputs(IDR_MENU_UNPLUGGED, calls), texts);
    ASSERT_TRUE(menu);

    ExpectItems(menu->items, {{0, 32783, "ZOZEZA Tray", S, 1024},
                              {1, 0, "", Sep, 3072},
                              {2, 32785, "T:ID_QUICKLAUNCH", S, 1024},
                              {3, 0, "", Sep, 3072},
                              {4, 32798, "T:ID_MENU_EXIT", S, 1024}});
    EXPECT_EQ(menu->defaultPosition, 0);
    EXPECT_FALSE(menu->effectsSupported.has_value());
    EXPECT_EQ(calls.effectSupport, 0);
    EXPECT_EQ(calls.sizeList, 0);
}

TEST(TrayMenu, OtherIconIdsHaveNoMenu) {
    FakeLanguageTexts texts = FullLanguageFile();
    for (int id : {0, 129, 132, 133, -130}) {
        Calls calls;
        EXPECT_FALSE(BuildTrayMenu(Inputs(id, calls), texts)) << id;
        EXPECT_EQ(calls.effectSupport + calls.sizeList, 0) << id;
    }
    EXPECT_TRUE(MenuResourceItems(132).empty());
}

// The texts the generated resource script carries; all but the title are replaced when shown.
TEST(TrayMenu, ResourceMenusKeepTheirOwnTexts) {
    const auto texts = [](int id) {
        std::vector<std::string> all;
        for (const MenuItem& item : MenuResourceItems(id)) {
            all.push_back(item.text);
        }
        return all;
    };
    EXPECT_EQ(texts(IDR_MENU_PLUGGED),
              (std::vector<std::string>{"ZOZEZA Tray", "", "Video Capture Filter", "",
                                        "Quick Launch Setting", "", "Exit"}));
    EXPECT_EQ(texts(IDR_MENU_UNPLUGGED),
              (std::vector<std::string>{"ZOZEZA Tray", "", "Quick Launch Setting", "", "Exit"}));
}

// --- Effects submenu -------------------------------------------------------------------

TEST(TrayMenu, OpensAtTheIconForTheKeyboardAtThePointerForTheMouse) {
    const ScreenRect icon{100, 740, 124, 764};
    EXPECT_EQ(MenuAnchor(true, icon, {5, 7}).x, 112) << "the icon's centre";
    EXPECT_EQ(MenuAnchor(false, icon, {5, 7}).x, 5);
    EXPECT_EQ(MenuAnchor(true, std::nullopt, {5, 7}).x, 5);
}

TEST(EffectsSubmenu, SupportedListsEveryRowWithSeparatorAtTwentyOne) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    const auto menu = BuildTrayMenu(Inputs(IDR_MENU_PLUGGED, calls, 1), texts);
    ASSERT_TRUE(menu);
    const std::vector<MenuItem>& effects = menu->items[3].submenu;

    ASSERT_EQ(effects.size(), 33u);
    for (int row = 0; row < 33; ++row) {
        SCOPED_TRACE("row " + std::to_string(row));
        const MenuItem& item = effects[static_cast<size_t>(row)];
        EXPECT_EQ(item.position, row);
        EXPECT_FALSE(item.checked);
        EXPECT_TRUE(item.submenu.empty());
        if (row == 21) {
            EXPECT_EQ(item.kind, Sep);
            EXPECT_EQ(item.flags, 3072u);
            EXPECT_EQ(item.id, 0u);
            EXPECT_EQ(item.text, "");
        } else {
            EXPECT_EQ(item.kind, S);
            EXPECT_EQ(item.flags, 1024u);
            EXPECT_EQ(item.id, static_cast<uint32_t>(32710 + row));
            const std::string key = row < 21 ? "IDC_SE_RADIO" + std::to_string(row + 1)
                                             : "IDC_FRAME_RADIO" + std::to_string(row - 21);
            EXPECT_EQ(item.text, "T:" + key);
        }
    }
    EXPECT_EQ(effects.back().id, 32742u);
}

TEST(EffectsSubmenu, AnythingButOneShowsTheSingleFirstEffect) {
    FakeLanguageTexts texts = FullLanguageFile();
    for (int answer : {0, 2, -1}) {
        Calls calls;
        const auto menu = BuildTrayMenu(Inputs(IDR_MENU_PLUGGED, calls, answer), texts);
        ASSERT_TRUE(menu);
        ExpectItems(menu->items[3].submenu, {{0, 32710, "T:IDC_SE_RADIO1", S, 1024}});
        EXPECT_EQ(menu->effectsSupported, answer);
    }
}

TEST(EffectsSubmenu, RowCountFollowsTheEffectCountWithinTheTable) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    TrayMenuInputs in = Inputs(IDR_MENU_PLUGGED, calls);

    in.effectCount = 0;  // the controller has not set it
    EXPECT_TRUE(BuildTrayMenu(in, texts)->items[3].submenu.empty());

    in.effectCount = 22;  // up to and including the separator row
    const auto partial = BuildTrayMenu(in, texts);
    ASSERT_EQ(partial->items[3].submenu.size(), 22u);
    EXPECT_EQ(partial->items[3].submenu.back().kind, Sep);

    in.effectCount = 1000;  // never read past the table
    EXPECT_EQ(BuildTrayMenu(in, texts)->items[3].submenu.size(), 33u);
    in.effectCount = -5;
    EXPECT_TRUE(BuildTrayMenu(in, texts)->items[3].submenu.empty());
}

// --- Snapshot submenu ------------------------------------------------------------------

TEST(SnapshotSubmenu, SelfTimerThenSeparatorThenSizesFromPositionTwo) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    const auto menu = BuildTrayMenu(Inputs(IDR_MENU_PLUGGED, calls), texts);
    ASSERT_TRUE(menu);

    std::vector<Row> expected = {{0, 32778, "T:ID_SNAPONE_DELAY", S, 1024}, {1, 0, "", Sep, 3072}};
    for (size_t i = 0; i < kVgaSizes.size(); ++i) {
        expected.push_back(
            {static_cast<int>(i) + 2, 32760u + static_cast<uint32_t>(i), kVgaSizes[i], S, 1024});
    }
    ExpectItems(menu->items[4].submenu, expected);
    EXPECT_EQ(menu->items[4].submenu.back().id, 32769u);
    EXPECT_EQ(menu->items[4].submenu.back().position, 11);
}

TEST(SnapshotSubmenu, SelfTimerItemIsCheckedOnlyWhenOn) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    TrayMenuInputs in = Inputs(IDR_MENU_PLUGGED, calls);

    in.selfTimerChecked = true;
    const MenuItem on = BuildTrayMenu(in, texts)->items[4].submenu[0];
    EXPECT_TRUE(on.checked);
    EXPECT_EQ(on.flags, 1032u);

    in.selfTimerChecked = false;
    const MenuItem off = BuildTrayMenu(in, texts)->items[4].submenu[0];
    EXPECT_FALSE(off.checked);
    EXPECT_EQ(off.flags, 1024u);
}

TEST(SnapshotSubmenu, EmptySizeListLeavesSelfTimerAndSeparator) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    const auto menu = BuildTrayMenu(Inputs(IDR_MENU_PLUGGED, calls, 0, {}), texts);
    ASSERT_TRUE(menu);
    ExpectItems(menu->items[4].submenu,
                {{0, 32778, "T:ID_SNAPONE_DELAY", S, 1024}, {1, 0, "", Sep, 3072}});
}

TEST(SnapshotSubmenu, SizeIdsNeverRunIntoTheSelfTimerCommand) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    const std::vector<std::string> many(30, "1x1");
    const auto menu = BuildTrayMenu(Inputs(IDR_MENU_PLUGGED, calls, 1, many), texts);
    ASSERT_TRUE(menu);
    const std::vector<MenuItem>& snapshot = menu->items[4].submenu;
    ASSERT_EQ(snapshot.size(), 2u + 16u);
    EXPECT_EQ(snapshot.back().id, static_cast<uint32_t>(ID_SNAPSHOT_LAST));
}

// --- Texts -----------------------------------------------------------------------------

TEST(MenuTexts, WithoutLanguageFileOnlyTitleAndSizesKeepText) {
    FakeLanguageTexts none;
    Calls calls;
    const auto menu = BuildTrayMenu(Inputs(IDR_MENU_PLUGGED, calls), none);
    ASSERT_TRUE(menu);

    ExpectItems(menu->items, {{0, 32783, "ZOZEZA Tray", S, 1024},
                              {1, 0, "", Sep, 3072},
                              {2, 32786, "", S, 1024},
                              {3, 0, "", Pop, 1040},
                              {4, 0, "", Pop, 1040},
                              {5, 0, "", Sep, 3072},
                              {6, 32785, "", S, 1024},
                              {7, 0, "", Sep, 3072},
                              {8, 32798, "", S, 1024}});
    for (const MenuItem& effect : menu->items[3].submenu) {
        EXPECT_EQ(effect.text, "") << effect.id;
    }
    const std::vector<MenuItem>& snapshot = menu->items[4].submenu;
    EXPECT_EQ(snapshot[0].text, "");
    EXPECT_EQ(snapshot[0].id, 32778u);
    EXPECT_EQ(snapshot[2].text, "160x120");
    EXPECT_EQ(snapshot[11].text, "1280x960");
}

TEST(MenuTexts, KeysTheFileLacksComeFromTheBuiltInTextsAndWrittenOnesStay) {
    CLanguageSection builtIn(
        "; English\r\n[Other]\r\nID_SNAPONE=elsewhere\r\n [ language ] \r\n"
        "; ID_SNAPONE=a comment\r\n  id_menu_exit =  Exit \nID_MENU_EXIT=second\n"
        "ID_QUICKLAUNCH=Quick Launch...\nIDC_SE_RADIO1=Normal\nIDC_SE_RADIO2=Gray\n");
    FakeLanguageTexts file;
    file.values["ID_MENU_EXIT"] = "Ende";
    file.values["ID_QUICKLAUNCH"] = "";  // written empty on purpose
    file.values["IDC_SE_RADIO2"] = std::string(80, 'g');
    CLanguageFallback texts(file, builtIn);
    Calls calls;
    const auto menu = BuildTrayMenu(Inputs(IDR_MENU_PLUGGED, calls), texts);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->items[8].text, "Ende");
    EXPECT_EQ(menu->items[6].text, "");
    EXPECT_EQ(menu->items[4].text, "") << "in neither: not in the built-in section";
    EXPECT_EQ(menu->items[3].submenu[0].text, "Normal");
    EXPECT_EQ(menu->items[3].submenu[1].text, std::string(59, 'g'));

    FakeLanguageTexts none;
    CLanguageFallback english(none, builtIn);
    EXPECT_EQ(english.Find("ID_MENU_EXIT"), "Exit") << "trimmed, any case, the first one";
}

TEST(MenuTexts, LongValuesAreCutToFiftyNineCharacters) {
    FakeLanguageTexts texts = FullLanguageFile();
    const std::string eighty(80, 'x');
    const std::string fiftyNine(59, 'y');
    texts.values["ID_MENU_EXIT"] = eighty;
    texts.values["IDC_FRAME_RADIO11"] = eighty;
    texts.values["ID_SNAPONE"] = eighty;
    texts.values["ID_QUICKLAUNCH"] = fiftyNine;
    Calls calls;
    const auto menu = BuildTrayMenu(Inputs(IDR_MENU_PLUGGED, calls), texts);
    ASSERT_TRUE(menu);

    EXPECT_EQ(menu->items[8].text, eighty.substr(0, 59));
    EXPECT_EQ(menu->items[4].text, eighty.substr(0, 59));
    EXPECT_EQ(menu->items[3].submenu[32].text, eighty.substr(0, 59));
    EXPECT_EQ(menu->items[6].text, fiftyNine);
}

// --- Default item ----------------------------------------------------------------------

TEST(DefaultItem, PositionIsTakenInTheResourceMenuBeforeSubmenusAreInserted) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    TrayMenuInputs in = Inputs(IDR_MENU_PLUGGED, calls);
    in.defaultItem = 4;  // "Quick Launch Setting" in the resource menu
    const auto menu = BuildTrayMenu(in, texts);
    ASSERT_TRUE(menu);

    EXPECT_EQ(menu->defaultPosition, 6);
    EXPECT_EQ(menu->items[6].id, static_cast<uint32_t>(ID_QUICKLAUNCH));
    EXPECT_TRUE(menu->items[6].isDefault);
    EXPECT_FALSE(menu->items[0].isDefault);
}

TEST(DefaultItem, ByCommandAndOutOfRange) {
    FakeLanguageTexts texts = FullLanguageFile();
    Calls calls;
    TrayMenuInputs in = Inputs(IDR_MENU_UNPLUGGED, calls);

    in.defaultByPosition = false;
    in.defaultItem = ID_MENU_EXIT;
    EXPECT_EQ(BuildTrayMenu(in, texts)->defaultPosition, 4);

    in.defaultItem = ID_VIDEO_CAPTURE_FILTER;  // not in the unplugged menu
    EXPECT_EQ(BuildTrayMenu(in, texts)->defaultPosition, -1);

    in.defaultByPosition = true;
    in.defaultItem = 5;
    EXPECT_EQ(BuildTrayMenu(in, texts)->defaultPosition, -1);
    in.defaultItem = -1;
    EXPECT_EQ(BuildTrayMenu(in, texts)->defaultPosition, -1);
}

}  // namespace
