// Writes the program's icons, bitmaps and menu script below the given res/ directory.
// Usage: resgen <res-dir>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "tools/resgen/resource_files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <res-dir>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    for (const resgen::GeneratedFile& file : resgen::GenerateResourceFiles()) {
        const std::filesystem::path target = root / file.path;
        std::error_code error;
        std::filesystem::create_directories(target.parent_path(), error);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(file.bytes.data()),
                  static_cast<std::streamsize>(file.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", target.string().c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", target.string().c_str(), file.bytes.size());
    }
    return 0;
}
