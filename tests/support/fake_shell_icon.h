// The shell's calls for one icon: answers given by the test, calls recorded in order.
#pragma once

#include <string>

#include "tray/icon_add_retry.h"

class FakeShellIcon final : public IShellIcon {
public:
    bool addSucceeds = false;
    bool shellHasIcon = false;  // what NIM_MODIFY finds
    std::string calls;          // one letter per call: A(dd), H(as), V(ersion)

    bool Add() override {
        calls += 'A';
        shellHasIcon = shellHasIcon || addSucceeds;
        return addSucceeds;
    }
    bool Has() override {
        calls += 'H';
        return shellHasIcon;
    }
    void SetVersion() override { calls += 'V'; }
};
