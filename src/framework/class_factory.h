// A plain class factory over a creator function.
#pragma once

#include <windows.h>
#include <unknwn.h>

namespace fw {

using CreatorFn = HRESULT (*)(IUnknown* outer, REFIID iid, void** ppv);

class ClassFactory final : public IClassFactory {
public:
    explicit ClassFactory(CreatorFn create) noexcept : m_create(create) {}
    ClassFactory(const ClassFactory&) = delete;
    ClassFactory& operator=(const ClassFactory&) = delete;
    virtual ~ClassFactory() = default;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override;
    STDMETHOD_(ULONG, AddRef)() override;
    STDMETHOD_(ULONG, Release)() override;
    STDMETHOD(CreateInstance)(IUnknown* outer, REFIID iid, void** ppv) override;
    STDMETHOD(LockServer)(BOOL lock) override;

    // Hands out a new factory for the creator, asked for iid.
    static HRESULT Create(CreatorFn create, REFIID iid, void** ppv) noexcept;

private:
    LONG m_refs = 0;
    CreatorFn m_create;
};

} // namespace fw
