// An in-memory registry for the settings store: the machine's key and the user's own, values as
// raw bytes (text as UTF-16LE), like the registry's. A test that needs a registry breaking its
// contract answers the queries itself through `query`.
#pragma once

#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "settings/settings_store.h"

class MemorySettingsBackend : public ISettingsBackend {
public:
    using Values = std::map<std::string, std::vector<uint8_t>>;

    bool keyExists = true;
    bool wow64 = false;
    Values values;
    // The user's key exists once created or given values.
    bool userKeyExists = false;
    Values userValues;
    // Result of opening each key for writing: 5 (ERROR_ACCESS_DENIED) for a standard user.
    long machineWriteError = 0;
    long userWriteError = 0;

    // Sees every open of either key before it is answered.
    std::function<void(bool user, const char* path, uint32_t access)> onOpen;
    // When set, answers every query, also of a key that failed to open, in place of the values.
    std::function<long(Key key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size)>
        query;

    int opens = 0;
    int closes = 0;
    uint32_t lastAccess = 0;
    std::string lastPath;

    void SetDword(const std::string& name, uint32_t value) {
        values[name] = {uint8_t(value), uint8_t(value >> 8), uint8_t(value >> 16),
                        uint8_t(value >> 24)};
    }
    static std::vector<uint8_t> Utf16(const std::u16string& text) {
        std::vector<uint8_t> bytes;
        for (const char16_t unit : text) {
            bytes.push_back(uint8_t(unit & 0xFF));
            bytes.push_back(uint8_t(unit >> 8));
        }
        return bytes;
    }
    void SetText(const std::string& name, const std::string& text) {
        values[name] = Utf16(std::u16string(text.begin(), text.end()));
    }
    void SetUserText(const std::string& name, const std::u16string& text) {
        userKeyExists = true;
        userValues[name] = Utf16(text);
    }

    bool RunningUnderWow64() override { return wow64; }

    long Open(const char* path, uint32_t access, Key* key) override {
        Opening(false, path, access);
        lastPath = path;
        lastAccess = access;
        const long result = !keyExists ? 2 : Writing(access) ? machineWriteError : 0;
        *key = result == 0 ? &values : nullptr;
        return result;
    }

    // Records lastPath and lastAccess of the machine's key only.
    long OpenUser(const char* path, uint32_t access, bool create, Key* key) override {
        Opening(true, path, access);
        const long result = !userKeyExists && !create ? 2 : Writing(access) ? userWriteError : 0;
        userKeyExists = userKeyExists || (result == 0 && create);
        *key = result == 0 ? &userValues : nullptr;
        return result;
    }

    long Query(Key key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) override {
        if (query) {
            return query(key, name, type, data, size);
        }
        if (key == nullptr) {
            return 6;  // ERROR_INVALID_HANDLE
        }
        const Values& in = *static_cast<Values*>(key);
        auto found = in.find(name);
        if (found == in.end()) {
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
        (*static_cast<Values*>(key))[name].assign(data, data + size);
        return 0;
    }

    long DeleteValue(Key key, const char* name) override {
        if (key == nullptr) {
            return 6;
        }
        return static_cast<Values*>(key)->erase(name) == 1 ? 0 : 2;
    }

    void Close(Key) override { ++closes; }

private:
    void Opening(bool user, const char* path, uint32_t access) {
        ++opens;
        if (onOpen) {
            onOpen(user, path, access);
        }
    }
    static bool Writing(uint32_t access) { return (access & kKeySetValue) != 0; }
};
