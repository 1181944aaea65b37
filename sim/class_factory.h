// IClassFactory for the DLL's classes: each factory creates objects through one function.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "sim/com_object.h"

class ClassFactory final : public ComObject<IClassFactory> {
public:
    using CreateFunction = HRESULT (*)(REFIID iid, void** object);

    // Creates a factory for `create` and returns its `iid` interface.
    static HRESULT Create(CreateFunction create, REFIID iid, void** object);

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    STDMETHODIMP LockServer(BOOL lock) override;

private:
    explicit ClassFactory(CreateFunction create) : create_(create) {}
    ~ClassFactory() override = default;

    CreateFunction create_;
};
