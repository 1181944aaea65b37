// The "EXIT" copy-data parser against a model written from its contract: the record id is 4402
// and the payload holds "EXIT" followed by its end or a zero byte. Nothing else is accepted,
// and no byte beyond cbData is read (the payload sits in a buffer of exactly cbData bytes).
//
// Input: byte 0 selects the record id (even: 4402, odd: the next 8 bytes as the id) and
// whether the payload is null with a length taken from the input; the rest is the payload.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/exit_command.h"
#include "tests/fuzz/fuzz_check.h"

namespace {

bool ModelAccepts(uintptr_t dwData, const unsigned char* data, std::size_t size) {
    if (dwData != 4402 || data == nullptr) {
        return false;
    }
    return size >= 4 && std::memcmp(data, "EXIT", 4) == 0 && (size == 4 || data[4] == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const uint8_t mode = input[0];
    ++input;
    --size;

    uintptr_t dwData = kExitCopyDataId;
    if ((mode & 1) != 0 && size >= sizeof(uint64_t)) {
        uint64_t id = 0;
        std::memcpy(&id, input, sizeof id);
        dwData = static_cast<uintptr_t>(id);
        input += sizeof id;
        size -= sizeof id;
    }

    if ((mode & 2) != 0) {
        // A null payload: rejected whatever length the record claims.
        const std::size_t claimed = size;
        FUZZ_CHECK(!IsExitCommand(dwData, nullptr, claimed));
        return 0;
    }

    // A copy of exactly `size` bytes, so that ASan sees any read past the record's end.
    const std::vector<unsigned char> payload(input, input + size);
    const unsigned char* data = payload.empty() ? nullptr : payload.data();
    FUZZ_CHECK(IsExitCommand(dwData, data, payload.size()) ==
               ModelAccepts(dwData, data, payload.size()));
    return 0;
}
