#include "tray/menu_description.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "res/resource.h"

namespace {

constexpr int kEffectsSubmenuPosition = 3;
constexpr int kSnapshotSubmenuPosition = 4;
// Command ids reserved for each generated list; longer lists are cut rather than let their ids
// run into the next command.
constexpr size_t kMaxEffectItems = ID_EFFECT_LAST - ID_EFFECT_FIRST + 1;
constexpr size_t kMaxSizeItems = ID_SNAPSHOT_LAST - ID_SNAPSHOT_FIRST + 1;

MenuItem StringItem(uint32_t id, std::string text, bool checked = false) {
    MenuItem item;
    item.id = id;
    item.text = std::move(text);
    item.checked = checked;
    item.flags = kMenuFlagByPosition | kMenuFlagString | (checked ? kMenuFlagChecked : 0);
    return item;
}

MenuItem Separator() {
    MenuItem item;
    item.kind = MenuItemKind::Separator;
    item.flags = kMenuFlagByPosition | kMenuFlagSeparator;
    return item;
}

MenuItem Popup(std::string text, std::vector<MenuItem> submenu) {
    MenuItem item;
    item.kind = MenuItemKind::Popup;
    item.text = std::move(text);
    item.flags = kMenuFlagByPosition | kMenuFlagPopup;
    item.submenu = std::move(submenu);
    return item;
}

void Renumber(std::vector<MenuItem>& items) {
    for (size_t i = 0; i < items.size(); ++i) {
        items[i].position = static_cast<int>(i);
    }
}

std::string Text(ILanguageTexts& texts, const char* key) {
    return CutLanguageText(texts.Find(key).value_or(""));
}

// Like ModifyMenu by command: the item keeps its id and place, only its text changes.
void SetTextOf(std::vector<MenuItem>& items, uint32_t id, std::string text) {
    for (MenuItem& item : items) {
        if (item.kind == MenuItemKind::String && item.id == id) {
            item.text = std::move(text);
            return;
        }
    }
}

void MarkDefault(std::vector<MenuItem>& items, int item, bool byPosition) {
    if (byPosition) {
        if (item >= 0 && static_cast<size_t>(item) < items.size()) {
            items[static_cast<size_t>(item)].isDefault = true;
        }
        return;
    }
    for (MenuItem& candidate : items) {
        if (candidate.kind != MenuItemKind::Separator &&
            candidate.id == static_cast<uint32_t>(item)) {
            candidate.isDefault = true;
            return;
        }
    }
}

std::vector<MenuItem> EffectItems(int supported, std::span<const EffectRow> table, int count,
                                  ILanguageTexts& texts) {
    std::vector<MenuItem> items;
    if (supported != 1) {
        items.push_back(StringItem(ID_EFFECT_FIRST, Text(texts, "IDC_SE_RADIO1")));
    } else {
        const size_t rows =
            std::min({static_cast<size_t>(std::max(count, 0)), table.size(), kMaxEffectItems});
        for (size_t row = 0; row < rows; ++row) {
            const EffectRow& effect = table[row];
            if (effect.nEffectId == 0) {
                items.push_back(Separator());
            } else {
                // The key is NUL-padded in a fixed field; never read past it.
                const std::string key(effect.szIniKey,
                                      strnlen(effect.szIniKey, sizeof effect.szIniKey));
                items.push_back(StringItem(ID_EFFECT_FIRST + static_cast<uint32_t>(row),
                                           Text(texts, key.c_str())));
            }
        }
    }
    Renumber(items);
    return items;
}

std::vector<MenuItem> SnapshotItems(const std::vector<std::string>& sizes, bool selfTimerChecked,
                                    ILanguageTexts& texts) {
    std::vector<MenuItem> items;
    items.push_back(
        StringItem(ID_SNAPONE_DELAY, Text(texts, "ID_SNAPONE_DELAY"), selfTimerChecked));
    items.push_back(Separator());
    const size_t n = std::min(sizes.size(), kMaxSizeItems);
    for (size_t i = 0; i < n; ++i) {
        items.push_back(StringItem(ID_SNAPSHOT_FIRST + static_cast<uint32_t>(i), sizes[i]));
    }
    Renumber(items);
    return items;
}

}  // namespace

std::string CutLanguageText(std::string text) {
    if (text.size() > kLanguageTextMaxLength) {
        text.resize(kLanguageTextMaxLength);
    }
    return text;
}

std::vector<MenuItem> MenuResourceItems(int menuId) {
    std::vector<MenuItem> items;
    switch (menuId) {
        case IDR_MENU_PLUGGED:
            items = {StringItem(ID_MENU_TITLE, kTrayMenuTitle),
                     Separator(),
                     StringItem(ID_VIDEO_CAPTURE_FILTER, "Video Capture Filter"),
                     Separator(),
                     StringItem(ID_QUICKLAUNCH, "Quick Launch Setting"),
                     Separator(),
                     StringItem(ID_MENU_EXIT, "Exit")};
            break;
        case IDR_MENU_UNPLUGGED:
            items = {StringItem(ID_MENU_TITLE, kTrayMenuTitle), Separator(),
                     StringItem(ID_QUICKLAUNCH, "Quick Launch Setting"), Separator(),
                     StringItem(ID_MENU_EXIT, "Exit")};
            break;
        default:
            break;
    }
    Renumber(items);
    return items;
}

std::optional<MenuDescription> BuildTrayMenu(const TrayMenuInputs& inputs, ILanguageTexts& texts) {
    std::vector<MenuItem> items = MenuResourceItems(inputs.iconId);
    if (items.empty()) {
        return std::nullopt;
    }
    MenuDescription menu;
    SetTextOf(items, ID_QUICKLAUNCH, Text(texts, "ID_QUICKLAUNCH"));
    SetTextOf(items, ID_MENU_EXIT, Text(texts, "ID_MENU_EXIT"));
    MarkDefault(items, inputs.defaultItem, inputs.defaultByPosition);

    if (inputs.iconId == IDR_MENU_PLUGGED) {
        SetTextOf(items, ID_VIDEO_CAPTURE_FILTER, Text(texts, "ID_VIDEO_CAPTURE_FILTER"));

        const int supported = inputs.effectSupport ? inputs.effectSupport() : 0;
        menu.effectsSupported = supported;
        std::vector<MenuItem> effects =
            EffectItems(supported, inputs.effectTable, inputs.effectCount, texts);
        // Lands ahead of the separator that followed "Video Capture Filter".
        items.insert(items.begin() + kEffectsSubmenuPosition,
                     Popup(Text(texts, "IDD_EFFECT_PAGE_TITLE"), std::move(effects)));

        std::vector<std::string> sizes;
        if (inputs.buildSizeList) {
            inputs.buildSizeList(sizes);
        }
        std::vector<MenuItem> snapshot = SnapshotItems(sizes, inputs.selfTimerChecked, texts);
        items.insert(items.begin() + kSnapshotSubmenuPosition,
                     Popup(Text(texts, "ID_SNAPONE"), std::move(snapshot)));
    }

    Renumber(items);
    for (const MenuItem& item : items) {
        if (item.isDefault) {
            menu.defaultPosition = item.position;
        }
    }
    menu.items = std::move(items);
    return menu;
}
