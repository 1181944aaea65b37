// IUnknown for the simulated driver's COM objects, written once.
//
// ComInterfaces<I1, I2, ...> answers QueryInterface for the listed interfaces (IUnknown as the
// first) and leaves the reference count to the object; ComObject adds the count, which deletes
// the object at zero and holds a module lock while it lives. An object that answers more IIDs
// than it lists (an interface's bases) or fewer (one variant lacks an interface) overrides
// FindInterface.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "sim/com_module.h"

// The IID of `Interface`; specialised for an interface that has no __uuidof (the driver's own).
template <typename Interface>
const IID& InterfaceId() {
    return __uuidof(Interface);
}

template <typename First, typename... Others>
class ComInterfaces : public First, public Others... {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) final {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = FindInterface(iid);
        if (*object == nullptr) {
            return E_NOINTERFACE;
        }
        static_cast<First*>(this)->AddRef();
        return S_OK;
    }

protected:
    ComInterfaces() = default;
    virtual ~ComInterfaces() = default;

    // The interface pointer `iid` names, or nullptr.
    virtual void* FindInterface(REFIID iid) {
        if (IsEqualIID(iid, IID_IUnknown)) {
            return static_cast<First*>(this);
        }
        void* found = nullptr;
        (void)(Match<First>(iid, found) || ... || Match<Others>(iid, found));
        return found;
    }

private:
    template <typename Interface>
    bool Match(REFIID iid, void*& found) {
        if (!IsEqualIID(iid, InterfaceId<Interface>())) {
            return false;
        }
        found = static_cast<Interface*>(this);
        return true;
    }
};

template <typename... Interfaces>
class ComObject : public ComInterfaces<Interfaces...> {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP_(ULONG) AddRef() final { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() final {
        const LONG refs = InterlockedDecrement(&refs_);
        if (refs == 0) {
            delete this;
        }
        return refs;
    }

    // Hands out `iid` of a new object (nullptr when it could not be made), then drops the
    // creator's reference: the object dies here when it lacks `iid`.
    static HRESULT HandOut(ComObject* created, REFIID iid, void** object) {
        if (created == nullptr) {
            return E_OUTOFMEMORY;
        }
        const HRESULT hr = created->QueryInterface(iid, object);
        created->Release();
        return hr;
    }

protected:
    ComObject() = default;
    ~ComObject() override = default;

private:
    ModuleLock moduleLock_;
    LONG refs_ = 1;
};
