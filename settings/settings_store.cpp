#include "settings/settings_store.h"

#include <algorithm>
#include <cstring>

#include "diag/debug_log.h"

namespace {
// Opens the key for one operation and always closes it, also after a failed open.
class OpenedKey {
public:
    OpenedKey(ISettingsBackend& backend, uint32_t mask) : m_backend(backend) {
        m_backend.Open(SettingsKeyPath, mask, &m_key);
    }
    ~OpenedKey() { m_backend.Close(m_key); }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    [[nodiscard]] ISettingsBackend::Key get() const { return m_key; }

private:
    ISettingsBackend& m_backend;
    ISettingsBackend::Key m_key = nullptr;
};
}  // namespace

uint32_t SettingsStore::OpenMask(uint32_t access) {
    return m_backend.RunningUnderWow64() ? (access | kKeyWow64_64Key) : access;
}

uint32_t SettingsStore::ReadDword(const char* name) {
    OpenedKey key(m_backend, OpenMask(kKeyRead));
    uint8_t bytes[4] = {0, 0, 0, 0};
    uint32_t type = kRegDword;
    uint32_t size = sizeof bytes;
    // Longer data fails the query; shorter data leaves the missing high bytes 0.
    if (m_backend.Query(key.get(), name, &type, bytes, &size) != 0) {
        return 0;
    }
    return uint32_t{bytes[0]} | uint32_t{bytes[1]} << 8 | uint32_t{bytes[2]} << 16 |
           uint32_t{bytes[3]} << 24;
}

uint32_t SettingsStore::ReadCameraStatus() {
    return ReadDword(kValueCameraStatus);
}

uint32_t SettingsStore::ReadTrayEnabled() {
    return ReadDword(kValueTrayEnabled);
}

int32_t SettingsStore::ReadDebugLevel() {
    return static_cast<int32_t>(ReadDword(kValueDebugLevel));
}

int SettingsStore::SendStatus(uint32_t value, const char* logFormat) {
    DebugLog(kLogStatus, logFormat, value);
    ExtensionBuffer block{};
    block.words[0] = kStatusWord;
    block.words[1] = static_cast<int32_t>(value);
    return m_camera.SetExtensionProperty(PROP_STATUS, &block);
}

int SettingsStore::ClearCameraStatus(uint32_t mask) {
    return SendStatus(ReadCameraStatus() & ~mask, "ClearCameraStatus 0x%x");
}

int SettingsStore::SetCameraStatus(uint32_t mask) {
    return SendStatus(ReadCameraStatus() | mask, "SetCameraStatus 0x%x");
}

bool SettingsStore::ReadQuickLaunchPath(char (&dest)[kPathBufferSize]) {
    uint8_t data[kPathBufferSize] = {};
    uint32_t type = kRegSz;
    uint32_t size = sizeof data;
    {
        OpenedKey key(m_backend, OpenMask(kKeyRead));
        if (m_backend.Query(key.get(), kValueQuickLaunch, &type, data, &size) != 0) {
            return false;
        }
    }
    // Stored without a NUL: the text ends at the first NUL or after the returned bytes. A full
    // 512-byte value keeps its first 511 characters so that the terminator fits.
    const std::size_t limit = std::min<std::size_t>(size, kPathBufferSize - 1);
    const auto* end = std::find(data, data + limit, uint8_t{0});
    const auto length = static_cast<std::size_t>(end - data);
    std::memcpy(dest, data, length);
    dest[length] = '\0';
    return true;
}

void SettingsStore::WriteQuickLaunchPath(const char* text) {
    const std::size_t length = std::min(std::strlen(text), kPathBufferSize - 1);
    OpenedKey key(m_backend, OpenMask(kKeySetValue));
    // The registry takes a text value as bytes.
    m_backend.SetString(key.get(), kValueQuickLaunch,
                        reinterpret_cast<const uint8_t*>(text),  // NOLINT(*-reinterpret-cast)
                        static_cast<uint32_t>(length));
}
