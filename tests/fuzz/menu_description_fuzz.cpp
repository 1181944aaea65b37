// The tray menu from any language file and any driver answers, wired as the tray wires it
// (IsEffectSupported and BuildSizeList asking a fuzzed camera). Properties:
//  - every command id lies in 32700..32799 and no two items share one; effect rows are
//    32710 + row (never past 32749), sizes 32760 + position (never past 32775);
//  - no row past the effect table is read (the table sits in a buffer of exactly its rows),
//    nor any key past its 64-byte field;
//  - the effects submenu lists min(effect count, table rows, 40) rows when the sensor allows
//    effects, else row 0 alone; the sizes follow the pixel-count table;
//  - every text is at most 59 characters, and each is the language text cut to that length;
//  - structure: positions are indices, flags match kinds, the camera is asked only for the
//    plugged-in menu, and the property block it gets is zeroed.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "camera/capability_tables.h"
#include "res/resource.h"
#include "fake_camera.h"
#include "fake_language_texts.h"
#include "tests/fuzz/fuzz_check.h"
#include "tray/menu_description.h"

namespace {

// Each key's text is drawn once per input, then answered the same on every later read.
void DrawTexts(FakeLanguageTexts& texts, FuzzedDataProvider& in) {
    texts.missing = [&in](const char* key) {
        FUZZ_CHECK(std::strlen(key) < sizeof EffectRow{}.szIniKey + 1);
        const std::size_t limit = in.ConsumeBool() ? 80 : 300;
        return in.ConsumeRandomLengthString(limit);
    };
}

struct DriverCall {
    int32_t id;
    int result;
    int32_t word0;  // word 0 after the driver answered
};

// The driver's answers come from the fuzzer; building a menu only reads.
void DrawDriverAnswers(FakeCamera& camera, FuzzedDataProvider& in, std::vector<DriverCall>& calls) {
    camera.readOnly = true;
    camera.onFault = [](const std::string&) { FUZZ_CHECK(false); };
    camera.answer = [&calls, &in](int32_t id, ExtensionBuffer* block) {
        for (int32_t word : block->words) {
            FUZZ_CHECK(word == 0);
        }
        const int result = in.PickValueInArray({0, 0, 0, 0, -1, 1, INT_MIN});
        if (in.ConsumeBool()) {  // else the driver leaves the block as it was
            block->words[0] = in.ConsumeBool()
                                  ? in.PickValueInArray<int32_t>({0, 1, 2, 3, -1, 19200, 25344,
                                                                  76800, 101376, 256000, 307200,
                                                                  307201, 480000, INT_MIN, INT_MAX})
                                  : in.ConsumeIntegral<int32_t>();
        }
        calls.push_back({id, result, block->words[0]});
        return result;
    };
}

// The sensor rules, written from their description.
int ModelEffectSupport(const std::vector<DriverCall>& calls) {
    const int32_t kind = calls[0].result == 0 ? calls[0].word0 : -1;
    const int32_t pixels = calls[1].result == 0 ? calls[1].word0 : 307201;
    return pixels <= 307200 && kind != 0 && kind != 3 ? 1 : 0;
}

std::size_t ModelSizeCount(const DriverCall& call) {
    if (call.result != 0) {
        return 0;
    }
    switch (call.word0) {
        case 19200:
        case 25344:
            return 4;
        case 76800:
        case 101376:
            return 5;
        case 256000:
        case 307200:
            return 10;
        case 480000:
            return 12;
        default:
            return 14;
    }
}

std::vector<EffectRow> ConsumeTable(FuzzedDataProvider& in) {
    const auto rows = in.ConsumeIntegralInRange<std::size_t>(0, kEffectTableRows);
    std::vector<EffectRow> table(EffectTable, EffectTable + rows);
    if (in.ConsumeBool()) {  // rows of any id and key bytes, keys filling their whole field
        for (EffectRow& row : table) {
            row.nEffectId = in.ConsumeBool() ? 0 : in.ConsumeIntegral<int32_t>();
            const std::vector<char> key = in.ConsumeBytes<char>(sizeof row.szIniKey);
            std::fill(std::begin(row.szIniKey), std::end(row.szIniKey), 'K');
            std::copy(key.begin(), key.end(), row.szIniKey);
        }
    }
    table.shrink_to_fit();
    return table;
}

bool InCommandRange(uint32_t id) {
    return id >= ID_TRAY_COMMAND_FIRST && id <= ID_TRAY_COMMAND_LAST;
}

void CheckItems(const std::vector<MenuItem>& items, bool topLevel, std::set<uint32_t>& ids) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        FUZZ_CHECK(item.position == static_cast<int>(i));
        FUZZ_CHECK(item.text.size() <= kLanguageTextMaxLength);
        FUZZ_CHECK(topLevel || !item.isDefault);
        switch (item.kind) {
            case MenuItemKind::String:
                FUZZ_CHECK(InCommandRange(item.id));
                FUZZ_CHECK(ids.insert(item.id).second);
                FUZZ_CHECK(item.flags == (kMenuFlagByPosition | kMenuFlagString |
                                          (item.checked ? kMenuFlagChecked : 0)));
                FUZZ_CHECK(item.submenu.empty());
                break;
            case MenuItemKind::Separator:
                FUZZ_CHECK(item.id == 0 && item.text.empty() && !item.checked);
                FUZZ_CHECK(item.flags == (kMenuFlagByPosition | kMenuFlagSeparator));
                FUZZ_CHECK(item.submenu.empty());
                break;
            case MenuItemKind::Popup:
                FUZZ_CHECK(topLevel && item.id == 0);
                FUZZ_CHECK(item.flags == (kMenuFlagByPosition | kMenuFlagPopup));
                CheckItems(item.submenu, false, ids);
                break;
        }
    }
}

std::string Cut(const std::string& text) {
    return text.substr(0, kLanguageTextMaxLength);
}

void CheckEffects(const MenuItem& popup, int supported, const std::vector<EffectRow>& table,
                  int count, FakeLanguageTexts& texts) {
    FUZZ_CHECK(popup.kind == MenuItemKind::Popup);
    FUZZ_CHECK(popup.text == Cut(texts.values.at("IDD_EFFECT_PAGE_TITLE")));
    const std::vector<MenuItem>& items = popup.submenu;
    if (supported != 1) {
        FUZZ_CHECK(items.size() == 1 && items[0].id == ID_EFFECT_FIRST);
        FUZZ_CHECK(items[0].text == Cut(texts.values.at("IDC_SE_RADIO1")));
        return;
    }
    const std::size_t expected =
        std::min<std::size_t>({static_cast<std::size_t>(std::max(count, 0)), table.size(),
                               std::size_t{ID_EFFECT_LAST - ID_EFFECT_FIRST + 1}});
    FUZZ_CHECK(items.size() == expected);
    for (std::size_t row = 0; row < items.size(); ++row) {
        const MenuItem& item = items[row];
        if (table[row].nEffectId == 0) {
            FUZZ_CHECK(item.kind == MenuItemKind::Separator);
            continue;
        }
        FUZZ_CHECK(item.id == ID_EFFECT_FIRST + row && item.id <= ID_EFFECT_LAST);
        const std::string key(table[row].szIniKey, strnlen(table[row].szIniKey, 64));
        FUZZ_CHECK(item.text == Cut(texts.values.at(key)));
    }
}

void CheckSizes(const MenuItem& popup, const DriverCall* call, bool selfTimer) {
    FUZZ_CHECK(popup.kind == MenuItemKind::Popup);
    const std::vector<MenuItem>& items = popup.submenu;
    FUZZ_CHECK(items.size() >= 2);
    FUZZ_CHECK(items[0].id == ID_SNAPONE_DELAY && items[0].checked == selfTimer);
    FUZZ_CHECK(items[1].kind == MenuItemKind::Separator);
    const std::size_t sizes = call == nullptr ? 0 : ModelSizeCount(*call);
    FUZZ_CHECK(items.size() == 2 + sizes);
    for (std::size_t i = 0; i < sizes; ++i) {
        const MenuItem& item = items[2 + i];
        FUZZ_CHECK(item.id == ID_SNAPSHOT_FIRST + i && item.id <= ID_SNAPSHOT_LAST);
        FUZZ_CHECK(item.text == ResolutionTable[i].szSize);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    FuzzedDataProvider in(data, size);
    FakeLanguageTexts texts;
    DrawTexts(texts, in);
    FakeCamera camera;
    std::vector<DriverCall> calls;
    DrawDriverAnswers(camera, in, calls);
    CameraCapabilities caps;
    const bool plugIn = in.ConsumeBool();
    // Exactly the table's rows on the heap: a read past the last row is an ASan report.
    const std::vector<EffectRow> table = ConsumeTable(in);

    TrayMenuInputs inputs;
    inputs.iconId = in.PickValueInArray(
        {IDR_MENU_PLUGGED, IDR_MENU_PLUGGED, IDR_MENU_UNPLUGGED, in.ConsumeIntegral<int>()});
    inputs.effectTable = table;
    inputs.effectCount =
        in.PickValueInArray({kEffectTableRows, static_cast<int>(table.size()), 0, -1, 40, 41,
                             INT_MIN, INT_MAX, in.ConsumeIntegral<int>()});
    inputs.selfTimerChecked = in.ConsumeBool();
    inputs.defaultItem = in.ConsumeIntegralInRange(-2, 40000);
    inputs.defaultByPosition = in.ConsumeBool();
    int supportedAnswer = -100;
    inputs.effectSupport = [&] {
        supportedAnswer = IsEffectSupported(plugIn, camera, caps);
        return supportedAnswer;
    };
    inputs.buildSizeList = [&](std::vector<std::string>& list) {
        BuildSizeList(plugIn, camera, caps, list);
    };

    const std::optional<MenuDescription> menu = BuildTrayMenu(inputs, texts);
    if (inputs.iconId != IDR_MENU_PLUGGED && inputs.iconId != IDR_MENU_UNPLUGGED) {
        FUZZ_CHECK(!menu && calls.empty());
        return 0;
    }
    FUZZ_CHECK(menu.has_value());
    std::set<uint32_t> ids;
    CheckItems(menu->items, true, ids);
    const auto defaults = std::count_if(menu->items.begin(), menu->items.end(),
                                        [](const MenuItem& item) { return item.isDefault; });
    FUZZ_CHECK(defaults <= 1);
    FUZZ_CHECK((defaults == 1) == (menu->defaultPosition >= 0));
    if (menu->defaultPosition >= 0) {
        FUZZ_CHECK(menu->items[static_cast<std::size_t>(menu->defaultPosition)].isDefault);
    }

    if (inputs.iconId == IDR_MENU_UNPLUGGED) {
        FUZZ_CHECK(menu->items.size() == 5 && !menu->effectsSupported);
        FUZZ_CHECK(calls.empty());
        return 0;
    }
    FUZZ_CHECK(menu->items.size() == 9);
    FUZZ_CHECK(menu->effectsSupported == supportedAnswer);
    const DriverCall* sizeCall = nullptr;
    if (!plugIn) {
        FUZZ_CHECK(calls.empty() && supportedAnswer == 0);
    } else {
        FUZZ_CHECK(calls.size() == 3);
        FUZZ_CHECK(calls[0].id == PROP_SENSOR_KIND);
        FUZZ_CHECK(calls[1].id == PROP_SENSOR_PIXELS);
        FUZZ_CHECK(calls[2].id == PROP_SENSOR_PIXELS);
        FUZZ_CHECK(supportedAnswer == ModelEffectSupport(calls));
        sizeCall = &calls[2];
    }
    CheckEffects(menu->items[3], supportedAnswer, table, inputs.effectCount, texts);
    CheckSizes(menu->items[4], sizeCall, inputs.selfTimerChecked);
    FUZZ_CHECK(menu->items[4].text == Cut(texts.values.at("ID_SNAPONE")));
    return 0;
}
