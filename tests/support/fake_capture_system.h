// The one fake of the capture system and its graphs. A listed device opens with a filter when
// bindable, with or without the private interface; an unlisted name opens with a full filter
// when `openUnlisted`, else like a device that vanished (no filter, `noFilterResult`).
// `calls` records what reached a filter (and each open), `events` the graphs opened and
// closed. With `guarded` nothing is recorded; instead a graph counts in `faults` every use
// while or after it is released, from any thread. A test that keeps the fake as a member sets it
// up through the constructor.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "camera/capture_graph.h"

struct FakeDevice {
    std::string displayName;
    std::string friendlyName;
    bool hasExtension = true;
    bool bindable = true;  // false: gone by the time the graph is built
};

class FakeCaptureSystem : public ICaptureSystem {
public:
    std::vector<FakeDevice> devices;
    bool openUnlisted = false;
    long noFilterResult = static_cast<int32_t>(0x80004003);  // E_POINTER: AddFilter(NULL)
    int setAnswer = 0;                 // what every set that reaches a filter answers
    std::function<void()> onSet;       // inside every set that reaches a filter
    std::function<void()> onPagesRun;  // inside the property frame
    std::function<void()> onOpen;      // as each open begins
    bool guarded = false;

    std::vector<std::string> calls;
    std::vector<std::string> events;
    int enumerations = 0;
    int graphsAlive = 0;
    std::atomic<int> faults{0};

    FakeCaptureSystem() = default;
    explicit FakeCaptureSystem(const std::function<void(FakeCaptureSystem&)>& setup) {
        setup(*this);
    }

    long EnumerateDevices(std::vector<std::string>& displayNames,
                          std::vector<std::string>& friendlyNames) override {
        ++enumerations;
        for (const FakeDevice& device : devices) {
            displayNames.push_back(device.displayName);
            friendlyNames.push_back(device.friendlyName);
        }
        return devices.empty() ? 1 : 0;  // S_FALSE for an empty category
    }
    long OpenGraph(const std::string& displayName, std::unique_ptr<ICaptureGraph>& graph) override {
        if (onOpen) {
            onOpen();
        }
        Note("open " + displayName);
        bool listed = false;
        bool filter = false;
        bool extension = false;
        for (const FakeDevice& device : devices) {
            if (device.displayName == displayName) {
                listed = true;
                if (device.bindable) {
                    filter = true;
                    extension = device.hasExtension;
                    break;
                }
            }
        }
        if (!listed && openUnlisted) {
            filter = extension = true;
        }
        graph = std::make_unique<Graph>(*this, filter, extension);
        return filter ? 0 : noFilterResult;
    }

private:
    class Graph : public ICaptureGraph {
    public:
        Graph(FakeCaptureSystem& system, bool filter, bool extension)
            : m_system(system), m_filter(filter), m_extension(extension) {
            if (!m_system.guarded) {
                ++m_system.graphsAlive;
            }
        }
        ~Graph() override {
            if (m_system.guarded) {
                if (m_inFlight.load() != 0) {
                    ++m_system.faults;
                }
                m_alive.store(false);
                return;
            }
            --m_system.graphsAlive;
            m_system.events.push_back("close");
        }
        int GetExtensionProperty(int32_t id, ExtensionBuffer* block) override {
            if (!m_filter || !m_extension) {
                return -1;
            }
            return Use("get " + std::to_string(id), [&] {
                block->words[0] = 1000 + id;
                return 0;
            });
        }
        int SetExtensionProperty(int32_t id, ExtensionBuffer* block) override {
            if (!m_filter || !m_extension) {
                return -1;
            }
            return Use("set " + std::to_string(id) + " " + std::to_string(block->words[0]) + " " +
                           std::to_string(block->words[1]),
                       [&] {
                           if (m_system.onSet) {
                               m_system.onSet();
                           }
                           return m_system.setAnswer;
                       });
        }
        int SetVideoControlMode(int32_t mode) override {
            if (!m_filter) {
                return -1;
            }
            return Use("still " + std::to_string(mode), [] { return 0; });
        }
        std::unique_ptr<IPropertyPagesJob> PreparePropertyPages() override {
            if (!m_filter || m_system.guarded) {
                return nullptr;
            }
            return std::make_unique<Job>(m_system);
        }

    private:
        struct Job : IPropertyPagesJob {
            explicit Job(FakeCaptureSystem& system) : system(system) {}
            void Run() override {
                system.calls.push_back("pages");
                if (system.onPagesRun) {
                    system.onPagesRun();
                }
            }
            FakeCaptureSystem& system;
        };

        template <typename Work>
        int Use(const std::string& call, Work work) {
            if (!m_system.guarded) {
                m_system.calls.push_back(call);
                return work();
            }
            ++m_inFlight;
            if (!m_alive.load()) {
                ++m_system.faults;
            }
            std::this_thread::yield();  // widen the window a missing lock would leave open
            const int result = work();
            --m_inFlight;
            return result;
        }

        FakeCaptureSystem& m_system;
        bool m_filter;
        bool m_extension;
        std::atomic<int> m_inFlight{0};
        std::atomic<bool> m_alive{true};
    };

    void Note(const std::string& open) {
        if (!guarded) {
            calls.push_back(open);
            events.push_back(open);
        }
    }
};
