// Settings decoding from whatever the registry holds: any value type, size and bytes, failed
// opens and queries, and a backend that breaks the registry's contract (reports more bytes
// than the buffer it was given, or fills the whole buffer). Properties:
//  - every query offers the store's own buffer size (4 for numbers, 1024 for QuickLaunch) and
//    the backend writes only within it (ASan watches the store's stack buffers);
//  - from a well-behaved backend, numbers decode as little-endian with missing high bytes 0,
//    and 0 when the value is missing or longer than 4 bytes; QuickLaunch gives the UTF-16 text
//    up to its first NUL, at most 511 characters;
//  - whatever the backend does, QuickLaunch comes back without a NUL, at most 511 characters;
//  - the status bits sent to the driver are the stored ones with the mask cleared or set;
//  - every opened key is closed, and a written path reads back as its first 511 characters
//    (the user's own key stands in when the machine's cannot be opened).
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "diag/debug_log.h"
#include "settings/settings_store.h"
#include "fake_camera.h"
#include "memory_settings_backend.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

constexpr long kSuccess = 0;
constexpr long kFileNotFound = 2;
constexpr long kInvalidHandle = 6;
constexpr long kMoreData = 234;

enum class Behaviour { Registry, ReportsTooMuch, FillsBuffer };

// One value as the fuzzer sets it up: how the backend answers the next query.
struct Answer {
    Behaviour behaviour = Behaviour::Registry;
    long error = kSuccess;  // forced result of the query; kSuccess = decided by the data
    uint32_t type = kRegSz;
    std::vector<uint8_t> bytes;
    bool openFails = false;
};

// The registry as the fuzzer sets it up: every query answers `next`, whatever value it names,
// and may break the registry's contract; the user's key exists only once created for a write.
class FuzzedRegistry {
public:
    MemorySettingsBackend backend;
    Answer next;
    uint32_t lastOffered = 0;
    long lastResult = 0;

    FuzzedRegistry() {
        backend.onOpen = [this](bool user, const char* path, uint32_t access) {
            FUZZ_CHECK(std::strcmp(path, user ? kUserSettingsKeyPath : SettingsKeyPath) == 0);
            FUZZ_CHECK(user || ((access & kKeyWow64_64Key) != 0) == backend.wow64);
        };
        backend.query = [this](ISettingsBackend::Key key, const char*, uint32_t* type,
                               uint8_t* data, uint32_t* size) {
            lastOffered = *size;
            lastResult = Respond(key, type, data, size);
            return lastResult;
        };
    }
    FuzzedRegistry(const FuzzedRegistry&) = delete;
    FuzzedRegistry& operator=(const FuzzedRegistry&) = delete;

    // The next operation meets `answer`, and no key or value of an earlier one.
    void Expect(Answer answer) {
        next = std::move(answer);
        backend.keyExists = !next.openFails;
        backend.userKeyExists = false;
        backend.values.clear();
        backend.userValues.clear();
    }
    // What the last write stored in either key; nullptr when nothing was written.
    const std::vector<uint8_t>* Written() const {
        for (const auto* values : {&backend.values, &backend.userValues}) {
            const auto found = values->find(kValueQuickLaunch);
            if (found != values->end()) {
                return &found->second;
            }
        }
        return nullptr;
    }

private:
    long Respond(ISettingsBackend::Key key, uint32_t* type, uint8_t* data, uint32_t* size) {
        if (key == nullptr) {
            return kInvalidHandle;
        }
        if (next.error != kSuccess) {
            return next.error;
        }
        *type = next.type;
        const auto length = static_cast<uint32_t>(next.bytes.size());
        switch (next.behaviour) {
            case Behaviour::Registry:
                if (length > *size) {
                    *size = length;
                    return kMoreData;
                }
                std::copy(next.bytes.begin(), next.bytes.end(), data);
                *size = length;
                return kSuccess;
            case Behaviour::ReportsTooMuch:
                std::copy_n(next.bytes.begin(), std::min(length, *size), data);
                *size = length + 1 + *size;  // more than the buffer holds
                return kSuccess;
            case Behaviour::FillsBuffer:
                for (uint32_t i = 0; i < *size; ++i) {
                    data[i] = next.bytes.empty() ? 0xA5 : next.bytes[i % length];
                }
                *size = length;
                return kSuccess;
        }
        return kSuccess;
    }
};

int CheckRecord(int32_t, const char* text, std::size_t length) {
    FUZZ_CHECK(length < kDebugTextSize && std::strlen(text) == length);
    return 0;
}

Answer ConsumeAnswer(FuzzedDataProvider& in) {
    Answer answer;
    answer.behaviour = in.PickValueInArray({Behaviour::Registry, Behaviour::Registry,
                                            Behaviour::ReportsTooMuch, Behaviour::FillsBuffer});
    answer.error = in.PickValueInArray(
        {kSuccess, kSuccess, kSuccess, kFileNotFound, kMoreData, kInvalidHandle, long{5}});
    answer.type = in.ConsumeBool() ? in.PickValueInArray({kRegSz, kRegDword, uint32_t{3}})
                                   : in.ConsumeIntegral<uint32_t>();
    answer.openFails = in.ConsumeIntegralInRange(0, 7) == 0;
    const std::size_t length = in.PickValueInArray<std::size_t>(
        {0, 1, 2, 3, 4, 5, 8, 511, 512, 513, 1024, in.ConsumeIntegralInRange<std::size_t>(0, 600)});
    answer.bytes = in.ConsumeBytes<uint8_t>(length);
    if (in.ConsumeBool()) {
        answer.bytes.resize(length, in.ConsumeIntegral<uint8_t>());  // long runs of one byte
    }
    return answer;
}

bool WellBehaved(const Answer& answer) {
    return answer.behaviour == Behaviour::Registry;
}

// What a registry-faithful backend's value decodes to.
uint32_t ModelDword(const Answer& answer) {
    if (answer.openFails || answer.error != kSuccess || answer.bytes.size() > 4) {
        return 0;
    }
    uint32_t value = 0;
    for (std::size_t i = 0; i < answer.bytes.size(); ++i) {
        value |= uint32_t{answer.bytes[i]} << (8 * i);
    }
    return value;
}

bool QueryFails(const Answer& answer) {
    return answer.openFails || answer.error != kSuccess ||
           (WellBehaved(answer) && answer.bytes.size() > 2 * kPathBufferSize);
}

void CheckDwordRead(FuzzedRegistry& registry, uint32_t value) {
    FUZZ_CHECK(registry.backend.opens == registry.backend.closes);
    if (!registry.next.openFails && registry.next.error == kSuccess) {
        FUZZ_CHECK(registry.lastOffered == 4);
    }
    if (WellBehaved(registry.next)) {
        FUZZ_CHECK(value == ModelDword(registry.next));
    }
}

// The QuickLaunch text a registry-faithful backend's value gives.
std::u16string ModelPath(const Answer& answer) {
    std::u16string text;
    for (std::size_t i = 0; i + 1 < answer.bytes.size() && text.size() < kPathBufferSize - 1;
         i += 2) {
        text.push_back(static_cast<char16_t>(answer.bytes[i] | answer.bytes[i + 1] << 8));
    }
    return text.substr(0, text.find(u'\0'));
}

void CheckPathRead(FuzzedRegistry& registry, SettingsStore& store) {
    const auto read = store.ReadQuickLaunchPath();
    const Answer& answer = registry.next;
    FUZZ_CHECK(registry.backend.opens == registry.backend.closes);
    FUZZ_CHECK(read.has_value() == (registry.lastResult == kSuccess));
    if (!answer.openFails && answer.error == kSuccess) {
        FUZZ_CHECK(registry.lastOffered == 2 * kPathBufferSize);
    }
    if (WellBehaved(answer) || answer.openFails || answer.error != kSuccess) {
        FUZZ_CHECK(read.has_value() == !QueryFails(answer));
    }
    if (!read) {
        return;
    }
    FUZZ_CHECK(read->size() < kPathBufferSize && read->find(u'\0') == std::u16string::npos);
    if (WellBehaved(answer)) {
        FUZZ_CHECK(*read == ModelPath(answer));
    }
}

void CheckStatusSend(FuzzedDataProvider& in, FuzzedRegistry& registry, FakeCamera& camera,
                     SettingsStore& store) {
    const uint32_t mask = in.ConsumeIntegral<uint32_t>();
    const bool set = in.ConsumeBool();
    camera.setResult = in.PickValueInArray({0, -1, 1});
    const std::size_t sets = camera.Sets().size();
    const int result = set ? store.SetCameraStatus(mask) : store.ClearCameraStatus(mask);
    FUZZ_CHECK(registry.backend.opens == registry.backend.closes);
    FUZZ_CHECK(result == camera.setResult);
    const std::vector<FakeCamera::Call> sent = camera.Sets();
    FUZZ_CHECK(sent.size() == sets + 1);
    const ExtensionBuffer& last = sent.back().block;
    FUZZ_CHECK(sent.back().id == PROP_STATUS && last.words[0] == kStatusWord);
    if (WellBehaved(registry.next)) {
        const uint32_t stored = ModelDword(registry.next);
        const uint32_t expected = set ? (stored | mask) : (stored & ~mask);
        FUZZ_CHECK(static_cast<uint32_t>(last.words[1]) == expected);
    }
}

// A written path is its characters without a NUL, at most 511 and no half surrogate pair at the
// cut, as UTF-16LE, and reads back the same.
void CheckPathWrite(FuzzedDataProvider& in, FuzzedRegistry& registry, SettingsStore& store) {
    const std::string raw = in.ConsumeRandomLengthString(2048);
    std::u16string text;
    for (std::size_t i = 0; i + 1 < raw.size(); i += 2) {
        text.push_back(static_cast<char16_t>(uint8_t(raw[i]) | uint8_t(raw[i + 1]) << 8));
    }
    FUZZ_CHECK(store.WriteQuickLaunchPath(text) == kSuccess);
    FUZZ_CHECK(registry.backend.opens == registry.backend.closes);
    FUZZ_CHECK(registry.Written() != nullptr);
    std::u16string expected = text.substr(0, std::min(text.find(u'\0'), kPathBufferSize - 1));
    if (expected.size() == kPathBufferSize - 1 && expected.back() >= 0xD800 &&
        expected.back() <= 0xDBFF) {
        expected.pop_back();
    }
    Answer readBack;
    readBack.bytes = *registry.Written();
    registry.Expect(readBack);
    FUZZ_CHECK(registry.next.bytes.size() == 2 * expected.size());
    FUZZ_CHECK(ModelPath(registry.next) == expected);
    FUZZ_CHECK(store.ReadQuickLaunchPath() == expected);
}

bool g_senderInstalled = false;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (!g_senderInstalled) {
        SetDebugRecordSender(CheckRecord);
        g_senderInstalled = true;
    }
    FuzzedDataProvider in(data, size);
    FuzzedRegistry registry;
    registry.backend.wow64 = in.ConsumeBool();
    DebugLevel = in.ConsumeBool() ? kLogStatus : 0;
    FakeCamera camera;
    camera.getResult = -1;
    SettingsStore store(registry.backend, camera);

    for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
        const int operation = in.ConsumeIntegralInRange(0, 5);
        registry.Expect(ConsumeAnswer(in));
        switch (operation) {
            case 0:
                CheckDwordRead(registry, store.ReadCameraStatus());
                break;
            case 1:
                CheckDwordRead(registry, store.ReadTrayEnabled());
                break;
            case 2:
                CheckDwordRead(registry, static_cast<uint32_t>(store.ReadDebugLevel()));
                break;
            case 3:
                CheckStatusSend(in, registry, camera, store);
                break;
            case 4:
                CheckPathRead(registry, store);
                break;
            default:
                CheckPathWrite(in, registry, store);
                break;
        }
    }
    return 0;
}
