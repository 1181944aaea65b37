// Recognising the "EXIT" command that another program sends by WM_COPYDATA. Portable.
#pragma once

#include <cstddef>
#include <cstdint>

constexpr uintptr_t kExitCopyDataId = 4402;
// The payload is examined in a zero-filled buffer of this size.
constexpr std::size_t kCopyDataBufferSize = 512;

// True when dwData is kExitCopyDataId and the payload, read as a zero-terminated text, is
// exactly "EXIT" (case-sensitive): 4 bytes without a terminator, 5 with one, or "EXIT", a zero
// byte and anything after it. Only the first 512 bytes of a longer payload are looked at, so a
// payload must reach its terminator within them. A null payload with a non-zero length is
// rejected.
bool IsExitCommand(uintptr_t dwData, const void* data, std::size_t cbData);
