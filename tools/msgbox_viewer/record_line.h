// Formats one debug record as a single output line: "<level> <text>\n". The text is exactly the
// record's bytes; NUL, CR, LF and other control characters (except tab) are written as \0, \r, \n
// and \xHH, so one record is always one line. Backslashes pass unchanged.
#pragma once

#include <cstdio>
#include <string>

inline std::string FormatRecordLine(unsigned long long level, const unsigned char* data,
                                    std::size_t size) {
    std::string line = std::to_string(level);
    line += ' ';
    for (std::size_t i = 0; i < size; ++i) {
        const unsigned char c = data[i];
        if (c == '\0') {
            line += "\\0";
        } else if (c == '\n') {
            line += "\\n";
        } else if (c == '\r') {
            line += "\\r";
        } else if (c < 0x20 && c != '\t') {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\x%02X", c);
            line += escaped;
        } else {
            line += static_cast<char>(c);
        }
    }
    line += '\n';
    return line;
}
