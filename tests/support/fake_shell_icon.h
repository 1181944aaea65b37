// A shell that refuses every add (a busy sign-in); calls recorded as A(dd), H(as), V(ersion).
#pragma once

#include <string>

#include "tray/icon_add_retry.h"

struct FakeShellIcon final : IShellIcon {
    bool shellHasIcon = false;
    std::string calls;
    bool Answer(char call, bool answer) {
        calls += call;
        return answer;
    }
    bool Add() override { return Answer('A', false); }
    bool Has() override { return Answer('H', shellHasIcon); }
    void SetVersion() override { calls += 'V'; }
};
