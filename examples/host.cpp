// host.cpp: the grid control in a C++ program.
//
// Embeds the control in a window through the platform's container window
// (atl.dll's "AtlAxWin"), connects an event sink, and then edits cells the
// way a user does: it clicks a cell, types and presses Enter or Escape,
// with the keys going through the control's TranslateAccelerator as in any
// container's message loop. It prints the events and the values.
//
// Build with MinGW-w64 against the header and identifiers in the archive's
// include folder (made from kvadra.idl; Visual C++ can #import "Kvadra.dll"
// instead):
//   x86_64-w64-mingw32-g++ -municode -I../include host.cpp ../include/kvadra_i.c
//     -lole32 -loleaut32 -luuid -luser32 -o host.exe   (one line)
// The x64 DLL must be registered (regsvr32 Kvadra.dll) for a 64-bit host.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <cstdarg>
#include <cstdio>
#include <string>

#include "kvadra.h"

namespace {

// Owns one interface reference.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() { if (p) p->Release(); }
    T* operator->() const { return p; }
    T** operator&() { return &p; }
    void** Void() { return reinterpret_cast<void**>(&p); }
    explicit operator bool() const { return p != nullptr; }
    T* p = nullptr;
};

void Print(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::fflush(stdout);
}

std::string Narrow(BSTR text)
{
    if (!text) return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(n > 0 ? n - 1 : 0, '\0');
    if (n > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], n, nullptr, nullptr);
    return out;
}

// The event sink: _ITesseraEvents is a dispinterface, so the control calls
// Invoke with the event's DISPID. Arguments arrive in reverse order.
class Sink : public IDispatch {
public:
    int viewChanges = 0;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override
    {
        if (!out) return E_POINTER;
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID__ITesseraEvents) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++m_refs; }
    STDMETHODIMP_(ULONG) Release() override { return --m_refs; }  // lives on the stack
    STDMETHODIMP GetTypeInfoCount(UINT* count) override { *count = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }

    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        // arg(0) is the first declared parameter.
        auto arg = [params](UINT i) -> VARIANT& { return params->rgvarg[params->cArgs - 1 - i]; };
        switch (id) {
        case 1:  // OnBeforeEdit: column first when an editor opens, row first when it closes
            Print("OnBeforeEdit(%d, %d, \"%s\")\n", arg(0).iVal, arg(1).iVal, Narrow(arg(2).bstrVal).c_str());
            break;
        case 2: {  // OnValidateEdit(row, col, text, cancel): -1 keeps the old value
            const std::string text = Narrow(arg(2).bstrVal);
            const bool reject = text == "13";
            Print("OnValidateEdit(%d, %d, \"%s\")%s\n", arg(0).iVal, arg(1).iVal, text.c_str(),
                  reject ? ": rejected" : "");
            if (reject) *arg(3).piVal = VARIANT_TRUE;  // VT_BYREF|VT_I2
            break;
        }
        case 3: Print("OnAfterEdit(%d, %d)\n", arg(0).iVal, arg(1).iVal); break;
        case 4: Print("OnButtonClick(%d, %d)\n", arg(0).iVal, arg(1).iVal); break;
        case 7: Print("OnClick\n"); break;
        case 8: Print("OnDblClick\n"); break;
        case 9: Print("OnKeyPress(%d)\n", arg(0).iVal); break;
        case 10: Print("OnSelectCell(%d, %d)\n", arg(0).iVal, arg(1).iVal); break;
        case 11: Print("OnSelectRange\n"); break;
        case 13: Print("OnEnterCell(%d, %d)\n", arg(0).iVal, arg(1).iVal); break;
        case 14: Print("OnLeaveCell(%d, %d)\n", arg(0).iVal, arg(1).iVal); break;
        case 15: ++viewChanges; break;  // after every repaint request: counted, not printed
        default: Print("event %ld\n", static_cast<long>(id)); break;
        }
        return S_OK;
    }

private:
    ULONG m_refs = 1;
};

// The per-cell properties act on the cell region.
void Cells(ITessera* grid, int row1, int col1, int row2, int col2)
{
    grid->put_CRegionLeftTopX(col1);
    grid->put_CRegionLeftTopY(row1);
    grid->put_CRegionRightBottomX(col2);
    grid->put_CRegionRightBottomY(row2);
}

std::string CellText(ITessera* grid, int row, int col)
{
    Cells(grid, row, col, row, col);
    VARIANT v;
    VariantInit(&v);
    std::string text = "?";
    if (SUCCEEDED(grid->get_Value(&v)) && SUCCEEDED(VariantChangeType(&v, &v, 0, VT_BSTR))) text = Narrow(v.bstrVal);
    VariantClear(&v);
    return text;
}

// A container's message loop: keys go to the active control first.
void Pump(IOleInPlaceActiveObject* active)
{
    MSG msg;
    for (int idle = 0; idle < 3; ++idle) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            idle = 0;
            if (msg.message >= WM_KEYFIRST && msg.message <= WM_KEYLAST && active
                && active->TranslateAccelerator(&msg) == S_OK)
                continue;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
}

// What a user does, as the messages the system would send.
struct User {
    HWND grid;
    IOleInPlaceActiveObject* active;
    ITessera* control;

    void Click(int row, int col)
    {
        // The middle of the cell, from the column widths and row heights.
        int x = 0, y = 0, w = 0, h = 0;
        for (int c = 0; c < col; ++c) control->get_ColWidth(c, &w), x += w;
        for (int r = 0; r < row; ++r) control->get_RowHeight(r, &h), y += h;
        control->get_ColWidth(col, &w);
        control->get_RowHeight(row, &h);
        const LPARAM at = MAKELPARAM(x + w / 2, y + h / 2);
        PostMessageW(grid, WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageW(grid, WM_LBUTTONUP, 0, at);
        Pump(active);
    }
    void Type(const wchar_t* text)
    {
        for (; *text; ++text) PostMessageW(Focus(), WM_CHAR, *text, 1);
        Pump(active);
    }
    void Press(UINT key)
    {
        PostMessageW(Focus(), WM_KEYDOWN, key, 1);
        Pump(active);
    }
    HWND Focus() const { return GetFocus() ? GetFocus() : grid; }
};

int Run()
{
    // The container window class of atl.dll.
    HMODULE atl = LoadLibraryW(L"atl.dll");
    auto axInit = reinterpret_cast<BOOL(WINAPI*)()>(
        reinterpret_cast<void*>(atl ? GetProcAddress(atl, "AtlAxWinInit") : nullptr));
    auto axGetControl = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
        reinterpret_cast<void*>(atl ? GetProcAddress(atl, "AtlAxGetControl") : nullptr));
    if (!axInit || !axGetControl || !axInit()) {
        Print("host: atl.dll's container window is not available\n");
        return 1;
    }

    HWND frame = CreateWindowExW(0, L"STATIC", L"Kvadra Tessera host", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                 40, 40, 480, 240, nullptr, nullptr, nullptr, nullptr);
    // The window title names the control to create.
    HWND box = CreateWindowExW(0, L"AtlAxWin", L"Kvadra.Tessera.1", WS_CHILD | WS_VISIBLE, 0, 0, 460, 200,
                               frame, nullptr, nullptr, nullptr);
    Ref<IUnknown> unknown;
    Ref<ITessera> grid;
    Ref<IOleInPlaceActiveObject> active;
    Ref<IOleWindow> window;
    HWND gridWindow = nullptr;
    if (!box || FAILED(axGetControl(box, &unknown)) || !unknown
        || FAILED(unknown->QueryInterface(IID_ITessera, grid.Void()))
        || FAILED(unknown->QueryInterface(IID_IOleInPlaceActiveObject, active.Void()))
        || FAILED(unknown->QueryInterface(IID_IOleWindow, window.Void()))
        || FAILED(window->GetWindow(&gridWindow))) {
        Print("host: Kvadra.Tessera.1 could not be created (is the x64 DLL registered?)\n");
        return 1;
    }

    // Connect the sink to the control's one connection point.
    Sink sink;
    Ref<IConnectionPointContainer> points;
    Ref<IConnectionPoint> point;
    DWORD cookie = 0;
    if (FAILED(grid->QueryInterface(IID_IConnectionPointContainer, points.Void()))
        || FAILED(points->FindConnectionPoint(DIID__ITesseraEvents, &point))
        || FAILED(point->Advise(&sink, &cookie))) {
        Print("host: could not connect the event sink\n");
        return 1;
    }

    // A 4 x 3 sheet: Long quantities and String notes, both edited in a text box.
    grid->put_AllowDraw(0);
    grid->put_Rows(4);
    grid->put_Cols(3);
    BSTR widths = SysAllocString(L"40 90 200");
    grid->put_Widths(widths);
    SysFreeString(widths);
    Cells(grid.p, 1, 1, 3, 1);
    grid->put_CType(2);
    grid->put_TypeEx(2);
    VARIANT v;
    v.vt = VT_I4;
    v.lVal = 5;
    grid->put_Value(v);
    Cells(grid.p, 1, 2, 3, 2);
    grid->put_TypeEx(2);
    grid->put_AllowDraw(1);
    Pump(active.p);
    Print("sheet ready, repainted: %s\n", sink.viewChanges > 0 ? "yes" : "no");

    User user{gridWindow, active.p, grid.p};
    Print("-- click (1, 1), type 42, Enter\n");
    user.Click(1, 1);
    user.Type(L"42");
    user.Press(VK_RETURN);
    Print("(1, 1) = %s\n", CellText(grid.p, 1, 1).c_str());

    Print("-- click (2, 1), type 1x3 (the x is taken back), Enter: the sink rejects 13\n");
    user.Click(2, 1);
    user.Type(L"1x3");
    user.Press(VK_RETURN);
    Print("(2, 1) = %s\n", CellText(grid.p, 2, 1).c_str());

    Print("-- click (1, 2), type a note, Escape\n");
    user.Click(1, 2);
    user.Type(L"not kept");
    user.Press(VK_ESCAPE);
    Print("(1, 2) = \"%s\"\n", CellText(grid.p, 1, 2).c_str());

    point->Unadvise(cookie);
    DestroyWindow(frame);
    Pump(nullptr);
    return 0;
}

} // namespace

int wmain()
{
    if (FAILED(OleInitialize(nullptr))) return 1;
    const int rc = Run();
    OleUninitialize();
    return rc;
}
