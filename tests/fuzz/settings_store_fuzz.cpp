// Settings decoding from whatever the registry holds: any value type, size and bytes, failed
// opens and queries, and a backend that breaks the registry's contract (reports more bytes
// than the buffer it was given, or fills the whole buffer). Properties:
//  - every query offers the store's own buffer size (4 for numbers, 512 for QuickLaunch) and
//    the backend writes only within it (ASan watches the store's stack buffers);
//  - from a well-behaved backend, numbers decode as little-endian with missing high bytes 0,
//    and 0 when the value is missing or longer than 4 bytes; QuickLaunch gives the text up to
//    its first NUL, at most 511 characters;
//  - whatever the backend does, QuickLaunch comes back NUL-terminated within its 512 bytes, or
//    untouched when the query fails;
//  - the status bits sent to the driver are the stored ones with the mask cleared or set;
//  - every opened key is closed, and a written path reads back as its first 511 characters.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "diag/debug_log.h"
#include "settings/settings_store.h"
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

class FuzzedBackend : public ISettingsBackend {
public:
    Answer next;
    bool wow64 = false;
    int opens = 0;
    int closes = 0;
    uint32_t lastOffered = 0;
    long lastResult = 0;
    std::vector<uint8_t> written;
    bool wroteSomething = false;

    bool RunningUnderWow64() override { return wow64; }

    long Open(const char* path, uint32_t access, Key* key) override {
        FUZZ_CHECK(std::strcmp(path, SettingsKeyPath) == 0);
        FUZZ_CHECK(((access & kKeyWow64_64Key) != 0) == wow64);
        ++opens;
        *key = next.openFails ? nullptr : this;
        return next.openFails ? kFileNotFound : kSuccess;
    }

    long Query(Key key, const char*, uint32_t* type, uint8_t* data, uint32_t* size) override {
        lastOffered = *size;
        lastResult = Respond(key, type, data, size);
        return lastResult;
    }

    long SetString(Key key, const char*, const uint8_t* data, uint32_t size) override {
        if (key == nullptr) {
            return kInvalidHandle;
        }
        written.assign(data, data + size);
        wroteSomething = true;
        return kSuccess;
    }

    void Close(Key) override { ++closes; }

private:
    long Respond(Key key, uint32_t* type, uint8_t* data, uint32_t* size) {
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

class RecordingCamera : public ICameraOps {
public:
    int GetExtensionProperty(int32_t, ExtensionBuffer*) override { return -1; }
    int SetExtensionProperty(int32_t id, ExtensionBuffer* block) override {
        ++sets;
        lastId = id;
        lastWords[0] = block->words[0];
        lastWords[1] = block->words[1];
        return result;
    }
    void SetEffect(int32_t) override {}
    int TriggerStill() override { return -1; }
    void ShowPropertyPages() override {}

    int result = 0;
    int sets = 0;
    int32_t lastId = 0;
    int32_t lastWords[2] = {0, 0};
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
           (WellBehaved(answer) && answer.bytes.size() > kPathBufferSize);
}

void CheckDwordRead(FuzzedBackend& backend, uint32_t value) {
    FUZZ_CHECK(backend.opens == backend.closes);
    if (!backend.next.openFails && backend.next.error == kSuccess) {
        FUZZ_CHECK(backend.lastOffered == 4);
    }
    if (WellBehaved(backend.next)) {
        FUZZ_CHECK(value == ModelDword(backend.next));
    }
}

constexpr char kUntouched = '\x7f';

// The QuickLaunch text a registry-faithful backend's value gives.
std::string ModelPath(const Answer& answer) {
    const std::size_t limit = std::min(answer.bytes.size(), kPathBufferSize - 1);
    std::string text(answer.bytes.begin(), answer.bytes.begin() + static_cast<long>(limit));
    return text.substr(0, text.find('\0'));
}

void CheckPathRead(FuzzedBackend& backend, SettingsStore& store) {
    char dest[kPathBufferSize];
    std::memset(dest, kUntouched, sizeof dest);
    const bool read = store.ReadQuickLaunchPath(dest);
    const Answer& answer = backend.next;
    FUZZ_CHECK(backend.opens == backend.closes);
    FUZZ_CHECK(read == (backend.lastResult == kSuccess));
    if (!answer.openFails && answer.error == kSuccess) {
        FUZZ_CHECK(backend.lastOffered == kPathBufferSize);
    }
    if (WellBehaved(answer) || answer.openFails || answer.error != kSuccess) {
        FUZZ_CHECK(read == !QueryFails(answer));
    }
    if (!read) {
        FUZZ_CHECK(std::all_of(dest, dest + sizeof dest, [](char c) { return c == kUntouched; }));
        return;
    }
    const void* terminator = std::memchr(dest, '\0', sizeof dest);
    FUZZ_CHECK(terminator != nullptr);
    if (WellBehaved(answer)) {
        FUZZ_CHECK(std::string(dest) == ModelPath(answer));
    }
}

void CheckStatusSend(FuzzedDataProvider& in, FuzzedBackend& backend, RecordingCamera& camera,
                     SettingsStore& store) {
    const uint32_t mask = in.ConsumeIntegral<uint32_t>();
    const bool set = in.ConsumeBool();
    camera.result = in.PickValueInArray({0, -1, 1});
    const int sets = camera.sets;
    const int result = set ? store.SetCameraStatus(mask) : store.ClearCameraStatus(mask);
    FUZZ_CHECK(backend.opens == backend.closes);
    FUZZ_CHECK(result == camera.result);
    FUZZ_CHECK(camera.sets == sets + 1);
    FUZZ_CHECK(camera.lastId == PROP_STATUS && camera.lastWords[0] == kStatusWord);
    if (WellBehaved(backend.next)) {
        const uint32_t stored = ModelDword(backend.next);
        const uint32_t expected = set ? (stored | mask) : (stored & ~mask);
        FUZZ_CHECK(static_cast<uint32_t>(camera.lastWords[1]) == expected);
    }
}

// A written path is its characters without a NUL, at most 511, and reads back the same.
void CheckPathWrite(FuzzedDataProvider& in, FuzzedBackend& backend, SettingsStore& store) {
    const std::string text = in.ConsumeRandomLengthString(1024);
    backend.wroteSomething = false;
    store.WriteQuickLaunchPath(text.c_str());
    FUZZ_CHECK(backend.opens == backend.closes);
    FUZZ_CHECK(backend.wroteSomething == !backend.next.openFails);
    if (!backend.wroteSomething) {
        return;
    }
    const std::string stored(backend.written.begin(), backend.written.end());
    const std::string expected = std::string(text.c_str()).substr(0, kPathBufferSize - 1);
    FUZZ_CHECK(stored == expected);

    backend.next = Answer{};
    backend.next.bytes = backend.written;
    char dest[kPathBufferSize];
    FUZZ_CHECK(store.ReadQuickLaunchPath(dest));
    FUZZ_CHECK(std::string(dest) == expected);
}

bool g_senderInstalled = false;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (!g_senderInstalled) {
        SetDebugRecordSender(CheckRecord);
        g_senderInstalled = true;
    }
    FuzzedDataProvider in(data, size);
    FuzzedBackend backend;
    backend.wow64 = in.ConsumeBool();
    DebugLevel = in.ConsumeBool() ? kLogStatus : 0;
    RecordingCamera camera;
    SettingsStore store(backend, camera);

    for (int step = 0; step < 16 && in.remaining_bytes() > 0; ++step) {
        const int operation = in.ConsumeIntegralInRange(0, 5);
        backend.next = ConsumeAnswer(in);
        switch (operation) {
            case 0:
                CheckDwordRead(backend, store.ReadCameraStatus());
                break;
            case 1:
                CheckDwordRead(backend, store.ReadTrayEnabled());
                break;
            case 2:
                CheckDwordRead(backend, static_cast<uint32_t>(store.ReadDebugLevel()));
                break;
            case 3:
                CheckStatusSend(in, backend, camera, store);
                break;
            case 4:
                CheckPathRead(backend, store);
                break;
            default:
                CheckPathWrite(in, backend, store);
                break;
        }
    }
    return 0;
}
