// IPropertyPage over a dialog resource: the mechanics a page shares with
// every other page. A page supplies its dialog handling and its Apply.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>
#include <vector>

#include "framework/com_ptr.h"

namespace fw {

class PropertyPage : public IPropertyPage {
public:
    struct Resources {
        UINT dialog;
        UINT title;      // string resources; a missing one gives no text
        UINT docString;
        UINT helpFile;
    };

    explicit PropertyPage(const Resources& res) : m_res(res) {}
    virtual ~PropertyPage();

    STDMETHOD(SetPageSite)(IPropertyPageSite* site) override;
    STDMETHOD(Activate)(HWND parent, LPCRECT rect, BOOL modal) override;
    STDMETHOD(Deactivate)() override;
    STDMETHOD(GetPageInfo)(PROPPAGEINFO* info) override;
    STDMETHOD(SetObjects)(ULONG count, IUnknown** objects) override;
    STDMETHOD(Show)(UINT cmd) override;
    STDMETHOD(Move)(LPCRECT rect) override;
    STDMETHOD(IsPageDirty)() override;
    STDMETHOD(Apply)() override;
    STDMETHOD(Help)(LPCOLESTR helpDir) override;
    STDMETHOD(TranslateAccelerator)(MSG* msg) override;

    HWND Handle() const { return m_hwnd; }
    bool Dirty() const { return m_dirty; }

protected:
    // The page's dialog procedure; FALSE leaves the message to the dialog manager.
    virtual INT_PTR OnDialogMessage(UINT msg, WPARAM wp, LPARAM lp);
    // Writes the page's values to the objects; the dirty flag is cleared after success.
    virtual HRESULT OnApply();

    // Marks the page changed; the site hears of it when the flag is first set.
    void SetDirty(bool dirty);
    const std::vector<ComPtr<IUnknown>>& Objects() const { return m_objects; }
    IPropertyPageSite* PageSite() const { return m_site.Get(); }

private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    static LPOLESTR LoadTaskString(UINT id);

    Resources m_res;
    ComPtr<IPropertyPageSite> m_site;
    std::vector<ComPtr<IUnknown>> m_objects;
    HWND m_hwnd = nullptr;
    bool m_dirty = false;
};

} // namespace fw
