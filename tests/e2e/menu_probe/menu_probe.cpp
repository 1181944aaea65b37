#include "menu_probe.h"

#include <cstdio>

extern "C" __declspec(dllexport) DWORD WINAPI KryDumpMenu(void* parameter);

extern "C" __declspec(dllexport) DWORD WINAPI KryDumpMenu(void* parameter) {
    const auto* request = static_cast<const MenuProbeRequest*>(parameter);
    HMENU menu = reinterpret_cast<HMENU>(static_cast<UINT_PTR>(request->menu));
    std::FILE* out = std::fopen(request->path, "wb");
    if (out == nullptr) {
        return 1;
    }
    const int count = GetMenuItemCount(menu);
    std::fprintf(out, "count %d default %d\n", count,
                 static_cast<int>(GetMenuDefaultItem(menu, TRUE, 0)));
    for (int position = 0; position < count; ++position) {
        const UINT byPosition = static_cast<UINT>(position);
        char text[256] = "";
        GetMenuStringA(menu, byPosition, text, sizeof text, MF_BYPOSITION);
        std::fprintf(
            out, "%u %u %llx %s\n", GetMenuItemID(menu, position),
            GetMenuState(menu, byPosition, MF_BYPOSITION),
            static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(GetSubMenu(menu, position))),
            text);
    }
    std::fclose(out);
    return count < 0 ? 2 : 0;
}
