// Stands in for the quick-launch program and the image viewer: appends one line per start to
// "<own path>.args": the start time (GetTickCount64), the argument count and each argument in
// brackets, exactly as the runtime split the command line.
#include <windows.h>

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string log = std::string(self) + ".args";
    FILE* out = std::fopen(log.c_str(), "a");
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
