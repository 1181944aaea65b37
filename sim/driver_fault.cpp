#include "sim/driver_fault.h"

#include <cstdint>

#include "sim/reg_key.h"
#include "sim/sim_settings.h"

namespace driver_fault {
namespace {

constexpr wchar_t kValueName[] = L"DriverFault";
// The number of the last filter made, and of the last filter whose device is gone.
constexpr wchar_t kFiltersMade[] = L"FiltersMade";
constexpr wchar_t kGoneUpTo[] = L"GoneUpTo";
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

DWORD ReadValue(const wchar_t* name) {
    const RegKey key =
        RegKey::Open(HKEY_CURRENT_USER, SimSettings::kKeyPath, KEY_QUERY_VALUE | kProgramView);
    return key ? key.ReadDword(name).value_or(0) : 0;
}

LONG WriteValue(const wchar_t* name, DWORD value) {
    LONG error = ERROR_SUCCESS;
    const RegKey key = RegKey::Create(HKEY_CURRENT_USER, SimSettings::kKeyPath,
                                      KEY_SET_VALUE | kProgramView, &error);
    return key ? key.WriteDword(name, value) : error;
}

}  // namespace

DriverFault Current() {
    const DWORD value = ReadValue(kValueName);
    return value <= static_cast<DWORD>(DriverFault::Crash) ? static_cast<DriverFault>(value)
                                                           : DriverFault::None;
}

LONG Set(DriverFault fault) {
    if (fault == DriverFault::Gone) {
        return WriteValue(kGoneUpTo, ReadValue(kFiltersMade));
    }
    return WriteValue(kValueName, static_cast<DWORD>(fault));
}

DWORD NumberNewFilter() {
    const DWORD number = ReadValue(kFiltersMade) + 1;
    WriteValue(kFiltersMade, number);
    return number;
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
    if (name == "gone") {
        return DriverFault::Gone;
    }
    return std::nullopt;
}

HRESULT Apply(DWORD filterNumber) {
    if (filterNumber <= ReadValue(kGoneUpTo)) {
        return HRESULT_FROM_WIN32(ERROR_DEVICE_NOT_CONNECTED);
    }
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
        case DriverFault::Gone:
            break;  // never stored
    }
    return S_OK;
}

}  // namespace driver_fault
