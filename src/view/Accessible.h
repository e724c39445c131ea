// The control window's object for accessibility clients (IAccessible): the
// table and its cells as simple elements. It holds no reference on the
// control: the control disconnects it when it goes, and every call after
// that fails with CO_E_OBJNOTCONNECTED.
#pragma once

#include <windows.h>
#include <oleacc.h>

#include <string>

#include "framework/com_ptr.h"
#include "framework/object.h"
#include "interaction/SelectionModel.h"
#include "model/GridTable.h"
#include "view/AccessibleTable.h"
#include "view/Layout.h"

namespace view {

// What the object reads and asks of the control. Answers are read anew on
// every call.
class CAccessibleSource {
public:
    // The control's identity, held across a call that runs the host's code.
    virtual IUnknown* Owner() = 0;
    virtual HWND Window() const = 0;
    virtual const CGridTable& Grid() const = 0;
    virtual const CSelectionModel& Selection() const = 0;
    virtual CLayout Layout() const = 0;
    // The text the painter draws in the cell (may run a host's code).
    virtual std::wstring CellText(int row, int col) = 0;
    // The container's ambient display name, empty without one.
    virtual std::wstring DisplayName() = 0;
    virtual bool Enabled() const = 0;
    // The window, or a window inside it (an editor), has the focus.
    virtual bool HasFocus() const = 0;
    // What accSelect and the default action do; (-1, -1) is the table.
    virtual HRESULT Select(const CCellID& cell, access::SelectStep step) = 0;
    virtual HRESULT DoDefaultAction(const CCellID& cell, access::CellAction action) = 0;

protected:
    ~CAccessibleSource() = default;
};

class CAccessible : public fw::ObjectRoot, public IAccessible {
public:
    static const fw::InterfaceEntry* Interfaces();
    // A new object reading source, with one reference for the caller.
    static CAccessible* Create(CAccessibleSource& source);
    void Disconnect() noexcept { m_source = nullptr; }
    CAccessibleSource* Source() const noexcept { return m_source; }

    // IDispatch, over the platform's accessibility type library.
    STDMETHOD(GetTypeInfoCount)(UINT* count) override;
    STDMETHOD(GetTypeInfo)(UINT index, LCID, ITypeInfo** info) override;
    STDMETHOD(GetIDsOfNames)(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHOD(Invoke)(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* exception, UINT* argError) override;

    // IAccessible
    STDMETHOD(get_accParent)(IDispatch** parent) override;
    STDMETHOD(get_accChildCount)(long* count) override;
    STDMETHOD(get_accChild)(VARIANT child, IDispatch** result) override;
    STDMETHOD(get_accName)(VARIANT child, BSTR* name) override;
    STDMETHOD(get_accValue)(VARIANT child, BSTR* value) override;
    STDMETHOD(get_accDescription)(VARIANT child, BSTR* description) override;
    STDMETHOD(get_accRole)(VARIANT child, VARIANT* role) override;
    STDMETHOD(get_accState)(VARIANT child, VARIANT* state) override;
    STDMETHOD(get_accHelp)(VARIANT child, BSTR* help) override;
    STDMETHOD(get_accHelpTopic)(BSTR* file, VARIANT child, long* topic) override;
    STDMETHOD(get_accKeyboardShortcut)(VARIANT child, BSTR* shortcut) override;
    STDMETHOD(get_accFocus)(VARIANT* child) override;
    STDMETHOD(get_accSelection)(VARIANT* children) override;
    STDMETHOD(get_accDefaultAction)(VARIANT child, BSTR* action) override;
    STDMETHOD(accSelect)(long flags, VARIANT child) override;
    STDMETHOD(accLocation)(long* left, long* top, long* width, long* height, VARIANT child) override;
    STDMETHOD(accNavigate)(long dir, VARIANT start, VARIANT* end) override;
    STDMETHOD(accHitTest)(long x, long y, VARIANT* child) override;
    STDMETHOD(accDoDefaultAction)(VARIANT child) override;
    STDMETHOD(put_accName)(VARIANT child, BSTR name) override;
    STDMETHOD(put_accValue)(VARIANT child, BSTR value) override;

private:
    access::Shape Shape() const noexcept;
    // The table (cell (-1, -1)) or the cell a child VARIANT names.
    HRESULT Resolve(const VARIANT& child, CCellID& cell) const noexcept;
    // A getter's first steps: its result cleared, then the child resolved.
    template <class Out> HRESULT Start(Out* out, const VARIANT& child, CCellID& cell) const noexcept;
    std::wstring Text(int row, int col) { return m_source ? m_source->CellText(row, col) : std::wstring(); }
    access::CellAction ActionOf(const CCellID& cell) const noexcept;
    HRESULT TypeInfo(ITypeInfo** info);

    CAccessibleSource* m_source = nullptr;
    fw::ComPtr<ITypeInfo> m_typeInfo;
};

} // namespace view
