#include "framework/error_info.h"

#include <oleauto.h>

#include "framework/com_ptr.h"

namespace fw {

HRESULT SetErrorDescription(REFCLSID clsid, const wchar_t* text, REFIID iid) noexcept
{
    ComPtr<ICreateErrorInfo> create;
    HRESULT hr = CreateErrorInfo(create.Put());
    if (FAILED(hr)) return hr;

    LPOLESTR progId = nullptr;
    if (SUCCEEDED(ProgIDFromCLSID(clsid, &progId))) {
        create->SetSource(progId);
        CoTaskMemFree(progId);
    }
    create->SetGUID(iid);
    create->SetDescription(const_cast<LPOLESTR>(text));
    create->SetHelpFile(nullptr);
    create->SetHelpContext(0);

    ComPtr<IErrorInfo> info;
    hr = create.As(IID_IErrorInfo, info);
    if (FAILED(hr)) return hr;
    return SetErrorInfo(0, info.Get());
}

} // namespace fw
