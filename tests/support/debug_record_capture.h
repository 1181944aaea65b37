// The one capture of debug records: while an object lives, every record sent is kept (and
// shown to `onRecord` on the sending thread). DebugLevel is set when a level is given and put
// back afterwards.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "diag/debug_log.h"

struct DebugRecord {
    int32_t level;
    std::string text;
    bool operator==(const DebugRecord&) const = default;
};

inline std::ostream& operator<<(std::ostream& out, const DebugRecord& record) {
    return out << record.level << " \"" << record.text << '"';
}

class DebugRecordCapture {
public:
    explicit DebugRecordCapture(std::optional<int32_t> level = std::nullopt,
                                std::function<void(const DebugRecord&)> onRecord = {})
        : m_savedLevel(DebugLevel), m_onRecord(std::move(onRecord)) {
        if (level) {
            DebugLevel = *level;
        }
        Active() = this;
        SetDebugRecordSender(&Capture);
    }
    ~DebugRecordCapture() {
        SetDebugRecordSender(nullptr);
        Active() = nullptr;
        DebugLevel = m_savedLevel;
    }
    DebugRecordCapture(const DebugRecordCapture&) = delete;
    DebugRecordCapture& operator=(const DebugRecordCapture&) = delete;

    std::vector<DebugRecord> Records() const {
        std::lock_guard lock(m_mutex);
        return m_records;
    }
    void Clear() { Take(); }
    // The records so far; the capture starts afresh.
    std::vector<DebugRecord> Take() {
        std::lock_guard lock(m_mutex);
        return std::exchange(m_records, {});
    }

private:
    static std::atomic<DebugRecordCapture*>& Active() {
        static std::atomic<DebugRecordCapture*> active{nullptr};
        return active;
    }
    static int Capture(int32_t level, const char* text, std::size_t length) {
        DebugRecordCapture* capture = Active();
        if (capture != nullptr) {
            DebugRecord record{level, std::string(text, length)};
            {
                std::lock_guard lock(capture->m_mutex);
                capture->m_records.push_back(record);
            }
            if (capture->m_onRecord) {
                capture->m_onRecord(record);
            }
        }
        return 0;
    }

    int32_t m_savedLevel;
    std::function<void(const DebugRecord&)> m_onRecord;
    mutable std::mutex m_mutex;
    std::vector<DebugRecord> m_records;
};
