// An in-memory registry key for the settings store: values are raw bytes, like the registry's.
#pragma once

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "settings/settings_store.h"

class MemorySettingsBackend : public ISettingsBackend {
public:
    bool keyExists = true;
    bool wow64 = false;
    std::map<std::string, std::vector<uint8_t>> values;

    int opens = 0;
    int closes = 0;
    uint32_t lastAccess = 0;
    std::string lastPath;

    void SetDword(const std::string& name, uint32_t value) {
        values[name] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                        uint8_t(value >> 24)};
    }
    void SetText(const std::string& name, const std::string& text) {
        values[name].assign(text.begin(), text.end());
    }

    bool RunningUnderWow64() override { return wow64; }

    long Open(const char* path, uint32_t access, Key* key) override {
        ++opens;
        lastPath = path;
        lastAccess = access;
        *key = keyExists ? this : nullptr;
        return keyExists ? 0 : 2;  // ERROR_FILE_NOT_FOUND
    }

    long Query(Key key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) override {
        if (key == nullptr) {
            return 6;  // ERROR_INVALID_HANDLE
        }
        auto found = values.find(name);
        if (found == values.end()) {
            return 2;
        }
        const auto& bytes = found->second;
        if (bytes.size() > *size) {
            *size = static_cast<uint32_t>(bytes.size());
            return 234;  // ERROR_MORE_DATA
        }
        if (!bytes.empty()) {  // an empty vector's data() may be null
            std::memcpy(data, bytes.data(), bytes.size());
        }
        *size = static_cast<uint32_t>(bytes.size());
        (void)type;
        return 0;
    }

    long SetString(Key key, const char* name, const uint8_t* data, uint32_t size) override {
        if (key == nullptr) {
            return 6;
        }
        values[name].assign(data, data + size);
        return 0;
    }

    void Close(Key) override { ++closes; }
};
