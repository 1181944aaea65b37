// send_record: sends one debug record to the "KRYMsgBox" window, as the program does: WM_COPYDATA
// with dwData = level and exactly the text's bytes, no terminating NUL.
//
// Usage: send_record <level> <text>        the text as given ("" sends cbData 0)
//        send_record --hex <level> <hex>   raw bytes, e.g. 41004243 for "A", NUL, "BC"
//        send_record --close               asks the viewer to close
// Exit code: 0 sent and accepted (or close posted), 1 no viewer window, 2 usage, 3 not accepted.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

int Usage() {
    std::fprintf(stderr,
                 "usage: send_record <level> <text> | --hex <level> <hex bytes> | --close\n");
    return 2;
}

bool ParseHex(const char* hex, std::string& bytes) {
    const std::size_t length = std::strlen(hex);
    if (length % 2 != 0) {
        return false;
    }
    for (std::size_t i = 0; i < length; i += 2) {
        const char pair[3] = {hex[i], hex[i + 1], '\0'};
        char* end = nullptr;
        const unsigned long value = std::strtoul(pair, &end, 16);
        if (*end != '\0') {
            return false;
        }
        bytes += static_cast<char>(value);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    HWND viewer = FindWindowA(nullptr, "KRYMsgBox");
    if (argc == 2 && std::strcmp(argv[1], "--close") == 0) {
        return viewer != nullptr && PostMessageA(viewer, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    const bool hex = argc == 4 && std::strcmp(argv[1], "--hex") == 0;
    if (!hex && argc != 3) {
        return Usage();
    }
    char* end = nullptr;
    const long level = std::strtol(argv[hex ? 2 : 1], &end, 10);
    if (*end != '\0') {
        return Usage();
    }
    std::string bytes;
    if (!hex) {
        bytes = argv[2];
    } else if (!ParseHex(argv[3], bytes)) {
        return Usage();
    }
    if (viewer == nullptr) {
        return 1;
    }
    COPYDATASTRUCT record{};
    record.dwData = static_cast<ULONG_PTR>(level);
    record.cbData = static_cast<DWORD>(bytes.size());
    record.lpData = bytes.empty() ? nullptr : bytes.data();
    const LRESULT accepted =
        SendMessageA(viewer, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&record));
    return accepted ? 0 : 3;
}
