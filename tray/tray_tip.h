// The tray icon's tip: what the icon is and, while a camera is plugged in and active, which.
// Portable: no Windows headers.
#pragma once

#include <cstddef>
#include <string>

// "ZOZEZA Tray", or "ZOZEZA Tray - <friendly name>" when `plugIn` and the name is known.
std::string TrayTipText(bool plugIn, const std::string& friendlyName);

// The longest prefix of `text` of at most `maxBytes` bytes that does not end inside a
// double-byte character; `isLeadByte` tells the code page's lead bytes.
std::string CutToBytes(const std::string& text, std::size_t maxBytes,
                       bool (*isLeadByte)(unsigned char));
