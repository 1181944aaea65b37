// Video input devices and capture graphs through DirectShow. Needs COM initialised on the
// calling thread.
#pragma once

#include "camera/capture_graph.h"

class DirectShowCaptureSystem : public ICaptureSystem {
public:
    long EnumerateDevices(std::vector<std::string>& displayNames,
                          std::vector<std::string>& friendlyNames) override;
    long OpenGraph(const std::string& displayName, std::unique_ptr<ICaptureGraph>& graph) override;
};

// The process's one capture system. Safe to use from static initialisers (a global camera
// object): it is constructed on first use and makes no COM call until asked.
ICaptureSystem& GetDirectShowCaptureSystem();
