#include "sim/com_module.h"

namespace {

HINSTANCE g_instance = nullptr;
LONG g_locks = 0;

}  // namespace

void ComModule::SetInstance(HINSTANCE instance) {
    g_instance = instance;
}
HINSTANCE ComModule::Instance() {
    return g_instance;
}
void ComModule::Lock() {
    InterlockedIncrement(&g_locks);
}
void ComModule::Unlock() {
    InterlockedDecrement(&g_locks);
}
bool ComModule::CanUnload() {
    return InterlockedCompareExchange(&g_locks, 0, 0) == 0;
}
