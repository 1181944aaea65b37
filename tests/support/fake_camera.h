// The one fake of the camera's operations. Every call that reaches the driver is recorded,
// with the block as the driver received it. Switches:
//   open   false: no capture filter; property calls answer -1 and reach nothing
//   busy   another call hangs: sets and triggers answer kCameraBusy and reach nothing
//   gone   what IsGone answers
// A get answers what Reply set for its property, else `answer` when set, else `getResult`
// with the block untouched; a set answers `setResult`. With `readOnly`, any call but a get,
// and a get that neither answers, is a fault, told to `onFault`. Safe to call from several
// threads. A test that keeps the fake as a member sets it up through the constructor.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "camera/extension_props.h"

class FakeCamera : public ICameraOps {
public:
    enum class Op { Get, Set, Effect, Trigger, PropertyPages };
    struct Call {
        Op op;
        int32_t id;             // the property, or the effect id
        ExtensionBuffer block;  // as the driver received it
        int stamp;              // what `stamp` read at the call
    };

    bool open = true;
    bool busy = false;
    bool gone = false;
    int getResult = 0;
    int setResult = 0;
    bool readOnly = false;
    std::function<void(const std::string&)> onFault;
    std::function<int(int32_t id, ExtensionBuffer* block)> answer;
    std::function<int()> stamp;
    // Sees each call that reached the driver, after it is recorded.
    std::function<void(const Call&)> onCall;

    FakeCamera() = default;
    explicit FakeCamera(const std::function<void(FakeCamera&)>& setup) { setup(*this); }

    // A get of `id` answers `result`, with word 0 set to `word0` when there is one.
    void Reply(int32_t id, int result, std::optional<int32_t> word0) {
        m_replies[id] = {result, word0};
    }
    // While hung, a set that reached the driver does not return: a wedged driver.
    void Hang(bool hang) {
        std::lock_guard lock(m_mutex);
        m_hang = hang;
        m_changed.notify_all();
    }
    // The default patience is reached only by a hang.
    bool WaitForCalls(std::size_t count,
                      std::chrono::milliseconds patience = std::chrono::seconds(10)) {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, patience, [&] { return m_calls.size() >= count; });
    }
    std::vector<Call> Calls(std::optional<Op> op = std::nullopt) {
        std::lock_guard lock(m_mutex);
        std::vector<Call> calls;
        for (const Call& call : m_calls) {
            if (!op || call.op == *op) {
                calls.push_back(call);
            }
        }
        return calls;
    }
    std::vector<Call> Sets() { return Calls(Op::Set); }

    int GetExtensionProperty(int32_t id, ExtensionBuffer* block) override {
        if (!open) {
            return -1;
        }
        Record(Op::Get, id, *block);
        const auto reply = m_replies.find(id);
        if (reply != m_replies.end()) {
            if (reply->second.word0) {
                block->words[0] = *reply->second.word0;
            }
            return reply->second.result;
        }
        if (answer) {
            return answer(id, block);
        }
        if (readOnly) {
            Fault("unexpected get of property " + std::to_string(id));
            return -1;
        }
        return getResult;
    }
    int SetExtensionProperty(int32_t id, ExtensionBuffer* block) override {
        if (!open) {
            return -1;
        }
        if (busy) {
            return kCameraBusy;
        }
        Record(Op::Set, id, *block);
        Fault("only reads were expected, yet property " + std::to_string(id) + " was set");
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_hang; });
        return setResult;
    }
    void SetEffect(int32_t effectId) override {
        ExtensionBuffer block{};
        block.words[0] = effectId;
        Record(Op::Effect, effectId, block);
        Fault("SetEffect");
    }
    int TriggerStill() override {
        if (busy) {
            return kCameraBusy;
        }
        Record(Op::Trigger, 0, {});
        Fault("TriggerStill");
        return 0;
    }
    void ShowPropertyPages() override {
        Record(Op::PropertyPages, 0, {});
        Fault("ShowPropertyPages");
    }
    bool IsGone() const override { return gone; }

private:
    struct Canned {
        int result;
        std::optional<int32_t> word0;
    };

    void Record(Op op, int32_t id, const ExtensionBuffer& block) {
        const Call call{op, id, block, stamp ? stamp() : 0};
        {
            std::lock_guard lock(m_mutex);
            m_calls.push_back(call);
            m_changed.notify_all();
        }
        if (onCall) {
            onCall(call);
        }
    }
    // A fault only when reading alone was expected.
    void Fault(const std::string& what) {
        if (readOnly && onFault) {
            onFault(what);
        }
    }

    std::map<int32_t, Canned> m_replies;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<Call> m_calls;
    bool m_hang = false;
};
