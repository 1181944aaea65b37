// Stands in for the quick-launch program and the image viewer: appends one line per start to
// "<own path>.args" (whatever script the path is in): the start time (GetTickCount64), the argument
// count and each argument in brackets, exactly as the runtime split the command line.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    const std::wstring log = std::wstring(self) + L".args";
    FILE* out = _wfopen(log.c_str(), L"a");
    if (out == nullptr) {
        return 1;
    }
    std::fprintf(out, "%llu %d", static_cast<unsigned long long>(GetTickCount64()), argc);
    for (int i = 0; i < argc; ++i) {
        std::fprintf(out, " [%s]", argv[i]);
    }
    std::fprintf(out, "\n");
    std::fclose(out);
    return 0;
}
