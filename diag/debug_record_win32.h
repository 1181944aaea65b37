// Delivers debug records to the viewer window titled "KRYMsgBox".
#pragma once

#include <cstddef>
#include <cstdint>

constexpr const char* kDebugViewerTitle = "KRYMsgBox";

// -1 when no viewer window exists; 0 after the record was sent. The record carries the level
// in dwData and exactly `length` bytes of text, without a terminator.
int SendDebugRecord(int32_t level, const char* text, std::size_t length);
