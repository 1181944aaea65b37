#include "settings/settings_store.h"

#include <algorithm>
#include <vector>

#include "diag/debug_log.h"

namespace {
// Opens the key for one operation and always closes it, also after a failed open.
class OpenedKey {
public:
    // The machine's key, under HKEY_LOCAL_MACHINE.
    OpenedKey(ISettingsBackend& backend, uint32_t mask)
        : m_backend(backend), m_result(backend.Open(SettingsKeyPath, mask, &m_key)) {}
    // The user's own key, under HKEY_CURRENT_USER.
    OpenedKey(ISettingsBackend& backend, uint32_t mask, bool create)
        : m_backend(backend),
          m_result(backend.OpenUser(kUserSettingsKeyPath, mask, create, &m_key)) {}
    ~OpenedKey() { m_backend.Close(m_key); }
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;

    [[nodiscard]] ISettingsBackend::Key get() const { return m_key; }
    [[nodiscard]] long result() const { return m_result; }

private:
    ISettingsBackend& m_backend;
    ISettingsBackend::Key m_key = nullptr;  // before m_result: the open fills it
    long m_result;
};

// The stored text: UTF-16LE, ending at the first NUL or after the returned bytes, at most 511
// characters so that a terminator always fits.
std::optional<std::u16string> QueryPath(ISettingsBackend& backend, const OpenedKey& key) {
    uint8_t data[kPathBufferSize * 2] = {};
    uint32_t type = kRegSz;
    uint32_t size = sizeof data;
    if (backend.Query(key.get(), kValueQuickLaunch, &type, data, &size) != 0) {
        return std::nullopt;
    }
    const std::size_t units = std::min<std::size_t>(size, sizeof data) / 2;
    std::u16string text;
    for (std::size_t i = 0; i < units && text.size() < kPathBufferSize - 1; ++i) {
        const auto unit = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
        if (unit == u'\0') {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

// The characters a path is stored with: no NUL, at most 511, and never half a surrogate pair.
std::vector<uint8_t> PathBytes(std::u16string_view text) {
    text = text.substr(0, std::min(text.find(u'\0'), kPathBufferSize - 1));
    if (text.size() == kPathBufferSize - 1 && text.back() >= 0xD800 && text.back() <= 0xDBFF) {
        text.remove_suffix(1);
    }
    std::vector<uint8_t> bytes;
    bytes.reserve(text.size() * 2);
    for (const char16_t unit : text) {
        bytes.push_back(static_cast<uint8_t>(unit & 0xFF));
        bytes.push_back(static_cast<uint8_t>(unit >> 8));
    }
    return bytes;
}

long StorePath(ISettingsBackend& backend, const OpenedKey& key, const std::vector<uint8_t>& bytes) {
    if (key.get() == nullptr) {
        return key.result() != 0 ? key.result() : kErrorFileNotFound;
    }
    return backend.SetString(key.get(), kValueQuickLaunch, bytes.data(),
                             static_cast<uint32_t>(bytes.size()));
}
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

int SettingsStore::ChangeStatus(uint32_t clear, uint32_t set, const char* logFormat) {
    return m_camera.UpdateStatus([&] {
        const uint32_t status = (ReadCameraStatus() & ~clear) | set;
        DebugLog(kLogStatus, logFormat, status);
        return status;
    });
}

int SettingsStore::ClearCameraStatus(uint32_t mask) {
    return ChangeStatus(mask, 0, "ClearCameraStatus 0x%x");
}

int SettingsStore::SetCameraStatus(uint32_t mask) {
    return ChangeStatus(0, mask, "SetCameraStatus 0x%x");
}

std::optional<std::u16string> SettingsStore::ReadQuickLaunchPath() {
    {
        const OpenedKey user(m_backend, kKeyRead, false);
        if (auto text = QueryPath(m_backend, user)) {
            return text;
        }
    }
    const OpenedKey machine(m_backend, OpenMask(kKeyRead));
    return QueryPath(m_backend, machine);
}

long SettingsStore::RemoveUserQuickLaunchPath() {
    const OpenedKey user(m_backend, kKeySetValue, false);
    if (user.get() == nullptr) {
        return user.result() == kErrorFileNotFound ? 0 : user.result();
    }
    const long result = m_backend.DeleteValue(user.get(), kValueQuickLaunch);
    return result == kErrorFileNotFound ? 0 : result;
}

long SettingsStore::WriteQuickLaunchPath(std::u16string_view text) {
    const std::vector<uint8_t> bytes = PathBytes(text);
    const long machine = StorePath(m_backend, OpenedKey(m_backend, OpenMask(kKeySetValue)), bytes);
    if (machine == 0) {
        // An administrator's choice is the machine's; the user's own value would hide it.
        const long removed = RemoveUserQuickLaunchPath();
        if (removed == 0) {
            return 0;
        }
        DebugLog(kLogStatus, "QuickLaunch of this user not removed: error %ld", removed);
    }
    const long user = StorePath(m_backend, OpenedKey(m_backend, kKeySetValue, true), bytes);
    if (user == 0) {
        DebugLog(kLogStatus, "QuickLaunch stored for this user (machine key: error %ld)", machine);
        return 0;
    }
    DebugLog(kLogEvent, "QuickLaunch not stored: machine key error %ld, user key error %ld",
             machine, user);
    return user;
}
