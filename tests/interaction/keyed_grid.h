// A windowed grid with a recording event sink, driven by key messages as a
// container sends them, and the clipboard as another program sees it.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <ocidl.h>

#include <cstring>
#include <cwchar>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/recording_site.h"
#include "view/windowed_grid.h"

namespace keys_test {

// Holds modifier keys down in this thread's key state (GetKeyState) for its
// lifetime.
class Held {
public:
    Held(std::initializer_list<int> vks)
    {
        GetKeyboardState(m_saved);
        BYTE state[256];
        GetKeyboardState(state);
        for (int vk : vks) state[vk] |= 0x80;
        SetKeyboardState(state);
    }
    ~Held() { SetKeyboardState(m_saved); }
    Held(const Held&) = delete;
    Held& operator=(const Held&) = delete;

private:
    BYTE m_saved[256];
};

// Dispids: 1 OnBeforeEdit, 3 OnAfterEdit, 9 OnKeyPress, 10 OnSelectCell,
// 13 OnEnterCell, 14 OnLeaveCell, 15 ViewChange.
struct KeyedGrid : ::testing::Test {
    view_test::Grid grid{400, 300};
    test::RecordingEventSink sink{DIID__ITesseraEvents};
    fw::ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;

    void SetUp() override
    {
        fw::ComPtr<IConnectionPointContainer> cpc;
        ASSERT_HRESULT_SUCCEEDED(grid.Itf()->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
        ASSERT_HRESULT_SUCCEEDED(point->Advise(&sink, &cookie));
    }
    void TearDown() override
    {
        if (point) point->Unadvise(cookie);
    }

    ITessera* Itf() const { return grid.Itf(); }
    void Key(UINT vk) const { SendMessageW(grid.Window(), WM_KEYDOWN, vk, 0); }
    // Through IOleInPlaceActiveObject::TranslateAccelerator, as a container
    // offers a message before dispatching it.
    HRESULT Offer(UINT msg, WPARAM key, HWND target = nullptr) const
    {
        fw::ComPtr<IOleInPlaceActiveObject> active;
        EXPECT_HRESULT_SUCCEEDED(Itf()->QueryInterface(IID_IOleInPlaceActiveObject, active.PutVoid()));
        MSG m = {};
        m.hwnd = target ? target : grid.Window();
        m.message = msg;
        m.wParam = key;
        return active->TranslateAccelerator(&m);
    }
    // Events without the ViewChange ones, cleared after reading.
    std::vector<std::string> Events()
    {
        std::vector<std::string> out;
        for (const std::string& e : sink.Events())
            if (e.rfind("15(", 0) != 0) out.push_back(e);
        sink.Events().clear();
        return out;
    }
    CCellID Current() const { return grid->FocusCell(); }
    // The selection corners as "minCol,minRow-maxCol,maxRow".
    std::string Corners() const
    {
        int v[4] = {};
        Itf()->get_SelectionLeftTopX(&v[0]);
        Itf()->get_SelectionLeftTopY(&v[1]);
        Itf()->get_SelectionRightBottomX(&v[2]);
        Itf()->get_SelectionRightBottomY(&v[3]);
        return std::to_string(v[0]) + "," + std::to_string(v[1]) + "-" + std::to_string(v[2]) + "," +
               std::to_string(v[3]);
    }
    // A cell's value as text ("" when empty), and its type.
    std::wstring Text(int row, int col) const
    {
        VARIANT v;
        VariantInit(&v);
        std::wstring s;
        if (SUCCEEDED(VariantChangeType(&v, const_cast<VARIANT*>(&grid->GetCell(row, col)->Value()), 0, VT_BSTR)))
            s = v.bstrVal ? v.bstrVal : L"";
        VariantClear(&v);
        return s;
    }
    VARTYPE Type(int row, int col) const { return grid->GetCell(row, col)->Value().vt; }
};

// The clipboard as another program reads and writes it.
inline bool PutClipboard(const std::wstring* text)
{
    if (!OpenClipboard(nullptr)) return false;
    EmptyClipboard();
    if (text) {
        HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, (text->size() + 1) * sizeof(wchar_t));
        memcpy(GlobalLock(h), text->c_str(), (text->size() + 1) * sizeof(wchar_t));
        GlobalUnlock(h);
        SetClipboardData(CF_UNICODETEXT, h);
    }
    CloseClipboard();
    return true;
}

inline bool PutClipboard(const std::wstring& text) { return PutClipboard(&text); }

// The clipboard's data of one text format, as bytes before the NUL.
inline std::string ClipboardBytes(UINT format)
{
    std::string out = "<none>";
    if (!OpenClipboard(nullptr)) return "<closed>";
    if (HANDLE h = GetClipboardData(format)) {
        const char* p = static_cast<const char*>(GlobalLock(h));
        out = format == CF_UNICODETEXT
                  ? std::string(p, wcslen(reinterpret_cast<const wchar_t*>(p)) * sizeof(wchar_t))
                  : std::string(p);
        GlobalUnlock(h);
    }
    CloseClipboard();
    return out;
}

inline std::wstring ClipboardUnicode()
{
    const std::string b = ClipboardBytes(CF_UNICODETEXT);
    return std::wstring(reinterpret_cast<const wchar_t*>(b.data()), b.size() / sizeof(wchar_t));
}

} // namespace keys_test
