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

#include "support/grid_helpers.h"
#include "support/recording_site.h"
#include "view/windowed_grid.h"

namespace keys_test {

using test::Held;

// Dispids: 1 OnBeforeEdit, 3 OnAfterEdit, 9 OnKeyPress, 10 OnSelectCell,
// 13 OnEnterCell, 14 OnLeaveCell, 15 ViewChange.
struct KeyedGrid : ::testing::Test {
    explicit KeyedGrid(bool window = true) : grid(400, 300, window) {}
    view_test::Grid grid;
    test::RecordingEventSink sink{DIID__ITesseraEvents};
    test::EventAdvise events;

    void SetUp() override { ASSERT_HRESULT_SUCCEEDED(events.Advise(grid.Itf(), &sink)); }
    void TearDown() override { events.Unadvise(); }

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
    // A shortcut through the hook, with modifiers held.
    HRESULT Chord(std::initializer_list<int> held, UINT vk) const
    {
        Held keys(held);
        return Offer(WM_KEYDOWN, vk);
    }
    // a, b / c, d in rows 2 and 3, columns 1 and 2, all selected.
    void Fill2x2() const
    {
        grid.SetText(2, 1, L"a");
        grid.SetText(2, 2, L"b");
        grid.SetText(3, 1, L"c");
        grid.SetText(3, 2, L"d");
        grid->Selection().SetSelectedRange(2, 1, 3, 2);
    }
    // Offers the key first and dispatches it when the hook leaves it, as a
    // container's message loop does.
    void Press(UINT vk, HWND target = nullptr) const
    {
        if (Offer(WM_KEYDOWN, vk, target) != S_OK) SendMessageW(target ? target : grid.Window(), WM_KEYDOWN, vk, 0);
    }
    // A String cell with a text box.
    void TextCell(int row, int col, const wchar_t* text) const
    {
        grid.SetText(row, col, text);
        grid->GetCell(row, col).Set(&CellAttrs::typeEx, 2);
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
    std::string Corners() const { return test::Corners(Itf()); }
    // A cell's value as text ("" when empty), and its type.
    std::wstring Text(int row, int col) const
    {
        fw::Variant v;
        VARIANT* value = const_cast<VARIANT*>(&grid->GetCell(row, col).Value());
        const bool text = SUCCEEDED(VariantChangeType(v.Ptr(), value, 0, VT_BSTR));
        return text && v.Ptr()->bstrVal ? v.Ptr()->bstrVal : L"";
    }
    VARTYPE Type(int row, int col) const { return grid->GetCell(row, col).Value().vt; }
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
