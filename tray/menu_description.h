// The tray icon's right-click menu as data. The Windows layer creates the menus straight from
// this description, with no logic of its own:
//   root = CreatePopupMenu();
//   for each item, in order: InsertMenuA(menu, item.position, item.flags,
//                                        popup ? (UINT_PTR)filled submenu : item.id, item.text)
//   if (defaultPosition >= 0) SetMenuDefaultItem(root, defaultPosition, TRUE);
// then tracks `root` and destroys it (with its submenus) when tracking returns.
// The menu resources 130 and 131 are written from MenuResourceItems (tools/resgen), so the
// program builds its menus from this description and loads no menu resource.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "camera/capabilities.h"
#include "tray/language_texts.h"

// InsertMenuA flag bits, as plain numbers so that this file needs no Windows headers.
constexpr uint32_t kMenuFlagString = 0x0000;      // MF_STRING
constexpr uint32_t kMenuFlagChecked = 0x0008;     // MF_CHECKED
constexpr uint32_t kMenuFlagPopup = 0x0010;       // MF_POPUP
constexpr uint32_t kMenuFlagByPosition = 0x0400;  // MF_BYPOSITION
constexpr uint32_t kMenuFlagSeparator = 0x0800;   // MF_SEPARATOR

// The title item keeps the text it has in the menu resource; it is never translated.
constexpr const char* kTrayMenuTitle = "ZOZEZA Tray";

enum class MenuItemKind { String, Separator, Popup };

struct MenuItem {
    int position = 0;  // index within its menu
    uint32_t id = 0;   // command id; 0 for separators and submenu titles
    std::string text;  // "" for separators
    MenuItemKind kind = MenuItemKind::String;
    bool checked = false;
    bool isDefault = false;         // drawn bold; set through defaultPosition, not through flags
    uint32_t flags = 0;             // InsertMenuA flags: MF_BYPOSITION plus kind and check bits
    std::vector<MenuItem> submenu;  // items of a Popup
};

struct MenuDescription {
    std::vector<MenuItem> items;  // the menu that is shown
    int defaultPosition = -1;     // position of the default item, -1 for none
    // The effect-support answer asked while building; only the plugged-in menu asks for it.
    std::optional<int> effectsSupported;
};

struct TrayMenuInputs {
    int iconId = 0;  // 130 plugged in, 131 unplugged; any other id has no menu
    // Asked only for the plugged-in menu, once per build (they talk to the camera).
    std::function<int()> effectSupport;                            // IsEffectSupported
    std::function<void(std::vector<std::string>&)> buildSizeList;  // BuildSizeList
    std::span<const EffectRow> effectTable;                        // EffectTable
    int effectCount = 0;                                           // g_nEffectCount
    bool selfTimerChecked = false;
    // The default item; the tray leaves it at the title (position 0). Applied to the resource
    // menu before the submenus are inserted, so it follows its item when later positions shift.
    int defaultItem = 0;
    bool defaultByPosition = true;
};

// Submenu 0 of menu resource `menuId`, the one definition of the resource's items; empty for an
// unknown id.
std::vector<MenuItem> MenuResourceItems(int menuId);

// The menu as shown, or nothing when the icon id names no menu resource.
std::optional<MenuDescription> BuildTrayMenu(const TrayMenuInputs& inputs, ILanguageTexts& texts);

// A language text as the 60-byte read buffer leaves it: at most 59 characters.
std::string CutLanguageText(std::string text);
