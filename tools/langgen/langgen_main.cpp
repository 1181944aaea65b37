// Writes the menu-text files below the given res/ directory (LUMA64.ini and the translations in
// lang/) from its lang/menu_texts.tsv. Writes nothing while any text is refused.
// Usage: langgen <res-dir>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tools/langgen/language_files.h"

namespace {

bool ReadFile(const std::filesystem::path& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !bytes.empty();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <res-dir>\n", argv[0]);
        return 2;
    }
    const std::filesystem::path root = argv[1];
    const std::filesystem::path tablePath = root / langgen::kTextTablePath;
    std::string table;
    if (!ReadFile(tablePath, table)) {
        std::fprintf(stderr, "cannot read %s\n", tablePath.string().c_str());
        return 1;
    }
    const langgen::GeneratedLanguageFiles generated =
        langgen::GenerateLanguageFiles(langgen::ParseTextTable(table));
    for (const std::string& error : generated.errors) {
        std::fprintf(stderr, "%s\n", error.c_str());
    }
    if (!generated.errors.empty()) {
        return 1;
    }
    for (const langgen::LanguageFile& file : generated.files) {
        const std::filesystem::path target = root / file.path;
        std::error_code ignored;
        std::filesystem::create_directories(target.parent_path(), ignored);
        std::ofstream out(target, std::ios::binary | std::ios::trunc);
        out.write(file.bytes.data(), static_cast<std::streamsize>(file.bytes.size()));
        if (!out) {
            std::fprintf(stderr, "cannot write %s\n", target.string().c_str());
            return 1;
        }
        std::printf("%s (%zu bytes)\n", target.string().c_str(), file.bytes.size());
    }
    return 0;
}
