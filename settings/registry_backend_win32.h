// The settings store's backend on the real registry: the machine's key and the user's own.
#pragma once

#include "settings/settings_store.h"

class RegistryBackend final : public ISettingsBackend {
public:
    bool RunningUnderWow64() override;
    long Open(const char* path, uint32_t access, Key* key) override;
    long Query(Key key, const char* name, uint32_t* type, uint8_t* data, uint32_t* size) override;
    long OpenUser(const char* path, uint32_t access, bool create, Key* key) override;
    long SetString(Key key, const char* name, const uint8_t* data, uint32_t size) override;
    long DeleteValue(Key key, const char* name) override;
    void Close(Key key) override;
};

// True when this 32-bit process runs on 64-bit Windows (IsWow64Process, looked up at run time).
bool RunningUnderWow64();
