#include "sim/driver_fault.h"

#include <cstdint>

#include "sim/reg_key.h"
#include "sim/sim_settings.h"

namespace driver_fault {
namespace {

constexpr wchar_t kValueName[] = L"DriverFault";
constexpr DWORD kHangStepMs = 50;

[[noreturn]] void CrashInDriver() {
    // A write through a bad pointer, as a broken driver does: an access violation here, in the
    // driver's own code, not a breakpoint or an abort.
    volatile std::uintptr_t address = 0x10;
    *reinterpret_cast<volatile int*>(address) = 1;
    for (;;) {
        Sleep(INFINITE);  // not reached
    }
}

}  // namespace

DriverFault Current() {
    const RegKey key =
        RegKey::Open(HKEY_CURRENT_USER, SimSettings::kKeyPath, KEY_QUERY_VALUE | kProgramView);
    const DWORD value = key ? key.ReadDword(kValueName).value_or(0) : 0;
    return value <= static_cast<DWORD>(DriverFault::Crash) ? static_cast<DriverFault>(value)
                                                          : DriverFault::None;
}

LONG Set(DriverFault fault) {
    LONG error = ERROR_SUCCESS;
    const RegKey key = RegKey::Create(HKEY_CURRENT_USER, SimSettings::kKeyPath,
                                      KEY_SET_VALUE | kProgramView, &error);
    return key ? key.WriteDword(kValueName, static_cast<DWORD>(fault)) : error;
}

std::optional<DriverFault> Parse(const std::string& name) {
    if (name == "none") {
        return DriverFault::None;
    }
    if (name == "hang") {
        return DriverFault::Hang;
    }
    if (name == "fail") {
        return DriverFault::Fail;
    }
    if (name == "crash") {
        return DriverFault::Crash;
    }
    return std::nullopt;
}

HRESULT Apply() {
    switch (Current()) {
        case DriverFault::None:
            return S_OK;
        case DriverFault::Hang:
            for (DWORD waited = 0; waited < kMaxHangMs && Current() == DriverFault::Hang;
                 waited += kHangStepMs) {
                Sleep(kHangStepMs);
            }
            return S_OK;
        case DriverFault::Fail:
            return E_FAIL;
        case DriverFault::Crash:
            Set(DriverFault::None);  // one crash, not one in every copy started after it
            CrashInDriver();
    }
    return S_OK;
}

}  // namespace driver_fault
