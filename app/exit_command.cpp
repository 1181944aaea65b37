#include "app/exit_command.h"

#include <algorithm>
#include <cstring>
#include <string_view>

bool IsExitCommand(uintptr_t dwData, const void* data, std::size_t cbData) {
    if (dwData != kExitCopyDataId) {
        return false;
    }
    if (data == nullptr && cbData > 0) {
        return false;
    }
    char buffer[kCopyDataBufferSize] = {};
    const std::size_t copied = std::min(cbData, sizeof buffer);
    if (copied > 0) {
        std::memcpy(buffer, data, copied);
    }
    // A full buffer need not hold a terminator: the text is bounded by the buffer.
    const char* end = std::find(buffer, buffer + sizeof buffer, '\0');
    const std::string_view text(buffer, static_cast<std::size_t>(end - buffer));
    return text == "EXIT";
}
