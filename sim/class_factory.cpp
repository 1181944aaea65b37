#include "sim/class_factory.h"

#include <new>

HRESULT ClassFactory::Create(CreateFunction create, REFIID iid, void** object) {
    return HandOut(new (std::nothrow) ClassFactory(create), iid, object);
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    return create_(iid, object);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
    if (lock) {
        ComModule::Lock();
    } else {
        ComModule::Unlock();
    }
    return S_OK;
}
