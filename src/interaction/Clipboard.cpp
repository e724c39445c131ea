// Copy, cut, paste and clearing of the selected cells. The text layout is
// ClipboardText's; here are the clipboard, the cells and the events.
#include "control/Tessera.h"

#include <cstring>
#include <cwchar>
#include <memory>
#include <set>
#include <string>

#include "interaction/ClipboardText.h"

namespace {

// The clipboard, open for the lifetime of the object.
class CClipboard {
public:
    explicit CClipboard(HWND owner) noexcept : m_open(OpenClipboard(owner) != FALSE) {}
    ~CClipboard() { if (m_open) CloseClipboard(); }
    CClipboard(const CClipboard&) = delete;
    CClipboard& operator=(const CClipboard&) = delete;

    bool IsOpen() const noexcept { return m_open; }
    bool Close() noexcept
    {
        m_open = false;
        return CloseClipboard() != FALSE;
    }

private:
    bool m_open;
};

// A movable global block, freed unless handed over.
class CGlobalBlock {
public:
    explicit CGlobalBlock(SIZE_T bytes) noexcept : m_h(GlobalAlloc(GMEM_MOVEABLE, bytes)) {}
    ~CGlobalBlock() { if (m_h) GlobalFree(m_h); }
    CGlobalBlock(const CGlobalBlock&) = delete;
    CGlobalBlock& operator=(const CGlobalBlock&) = delete;

    HGLOBAL Get() const noexcept { return m_h; }
    // The clipboard owns the block once SetClipboardData took it.
    void Release() noexcept { m_h = nullptr; }

private:
    HGLOBAL m_h;
};

// A locked global block; Size() is what GlobalSize reports.
class CGlobalLock {
public:
    explicit CGlobalLock(HGLOBAL h) noexcept : m_h(h), m_p(h ? GlobalLock(h) : nullptr) {}
    ~CGlobalLock() { if (m_p) GlobalUnlock(m_h); }
    CGlobalLock(const CGlobalLock&) = delete;
    CGlobalLock& operator=(const CGlobalLock&) = delete;

    void* Get() const noexcept { return m_p; }
    SIZE_T Size() const noexcept { return m_p ? GlobalSize(m_h) : 0; }

private:
    HGLOBAL m_h;
    void* m_p;
};

struct LocalFreer {
    void operator()(wchar_t* p) const noexcept { LocalFree(p); }
};

// The system's explanation of the last error, in the "Error" box.
void ReportLastError()
{
    const DWORD error = GetLastError();
    wchar_t* raw = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                   nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<wchar_t*>(&raw), 0,
                   nullptr);
    std::unique_ptr<wchar_t, LocalFreer> text(raw);
    std::wstring shown = text ? text.get() : L"";
    if (shown.empty()) shown = L"Error " + std::to_wstring(error);
    MessageBoxW(nullptr, shown.c_str(), L"Error", MB_ICONINFORMATION);
}

// Places one format: the bytes of text plus a terminating NUL of its kind.
bool PutText(UINT format, const void* data, size_t bytes, size_t nulBytes)
{
    CGlobalBlock block(bytes + nulBytes);
    if (!block.Get()) return true;  // no memory: nothing to place, and nothing to report
    {
        CGlobalLock lock(block.Get());
        if (!lock.Get()) return true;
        std::memcpy(lock.Get(), data, bytes);
        std::memset(static_cast<char*>(lock.Get()) + bytes, 0, nulBytes);
    }
    if (!SetClipboardData(format, block.Get())) return false;
    block.Release();
    return true;
}

// The clipboard's text, Unicode when offered, else ANSI. False when there
// is none. Data without a terminator ends at its block's end.
bool ReadClipboardText(HWND owner, std::wstring& text)
{
    const bool unicode = IsClipboardFormatAvailable(CF_UNICODETEXT) != FALSE;
    if (!unicode && !IsClipboardFormatAvailable(CF_TEXT)) return false;
    CClipboard clipboard(owner);
    if (!clipboard.IsOpen()) return false;
    HANDLE data = GetClipboardData(unicode ? CF_UNICODETEXT : CF_TEXT);
    if (!data) return false;
    CGlobalLock lock(data);
    if (!lock.Get()) return false;
    if (unicode) {
        const wchar_t* p = static_cast<const wchar_t*>(lock.Get());
        text.assign(p, wcsnlen(p, lock.Size() / sizeof(wchar_t)));
    } else {
        const char* p = static_cast<const char*>(lock.Get());
        text = clip::FromAnsi(std::string_view(p, strnlen(p, lock.Size())));
    }
    return true;
}

// A value as its VT_BSTR text; a value without one gives nothing.
void AppendValueText(const VARIANT& value, std::wstring& out)
{
    // An object's conversion runs host code, which may move the cells: it
    // converts from a copy, not from the cell's own value.
    fw::Variant held;
    const VARIANT* source = &value;
    if (V_VT(&value) == VT_DISPATCH || V_VT(&value) == VT_UNKNOWN) {
        if (FAILED(VariantCopy(held.Ptr(), const_cast<VARIANT*>(&value)))) return;
        source = held.Ptr();
    }
    VARIANT text;
    VariantInit(&text);
    if (SUCCEEDED(VariantChangeType(&text, const_cast<VARIANT*>(source), 0, VT_BSTR)) && text.bstrVal)
        out.append(text.bstrVal, SysStringLen(text.bstrVal));
    VariantClear(&text);
}

} // namespace

LRESULT CTessera::OnClipboard(UINT msg, WPARAM, LPARAM, BOOL&)
{
    switch (msg) {
    case WM_COPY: CopyCells(); break;
    case WM_CUT: CutCells(); break;
    case WM_PASTE: PasteCells(); break;
    default: break;
    }
    return 0;
}

namespace {

// Puts the text on the clipboard as Unicode and as ANSI text; every failure
// gets its "Error" box. False when the clipboard could not be written.
bool PlaceText(HWND owner, const std::wstring& text)
{
    const std::string ansi = clip::ToAnsi(text);
    // Owned by the control window: a clipboard emptied without an owner
    // refuses the data on some systems.
    CClipboard clipboard(owner);
    if (!clipboard.IsOpen()) {
        ReportLastError();
        return false;
    }
    bool ok = true;
    if (!EmptyClipboard()) {
        ReportLastError();
        ok = false;
    }
    if (!PutText(CF_UNICODETEXT, text.data(), text.size() * sizeof(wchar_t), sizeof(wchar_t))) {
        ReportLastError();
        ok = false;
    }
    if (!PutText(CF_TEXT, ansi.data(), ansi.size(), 1)) {
        ReportLastError();
        ok = false;
    }
    if (!clipboard.Close()) {
        ReportLastError();
        ok = false;
    }
    return ok;
}

} // namespace

bool CTessera::CopyCells()
{
    int minCol = -1, minRow = -1, maxCol = -1, maxRow = -1;
    GetSelectionCorner(Corner::LeftTopX, &minCol);
    GetSelectionCorner(Corner::LeftTopY, &minRow);
    GetSelectionCorner(Corner::RightBottomX, &maxCol);
    GetSelectionCorner(Corner::RightBottomY, &maxRow);
    const std::wstring text = clip::BuildText(minRow, minCol, maxRow, maxCol, [this](int row, int col, std::wstring& out) {
        if (const CCellRef cell = GetCell(row, col)) AppendValueText(cell.Value(), out);
    });
    return PlaceText(ControlWindow(), text);
}

void CTessera::CutCells()
{
    // With nothing selected the clearing takes the current cell, so the
    // copy takes it too: what is cleared is on the clipboard.
    int minCol = -1;
    GetSelectionCorner(Corner::LeftTopX, &minCol);
    bool copied;
    if (minCol >= 0) {
        copied = CopyCells();
    } else {
        const CCellID at = FocusCell();
        const CCellRef cell = GetCell(at.row, at.col);
        std::wstring text;
        if (cell) AppendValueText(cell.Value(), text);
        copied = PlaceText(ControlWindow(), text);
    }
    // A failed copy keeps the cells: clearing them would lose the data.
    if (copied) ClearCells();
}

void CTessera::PasteCells()
{
    // No current cell: no start that anybody chose.
    const CCellID start = FocusCell();
    if (!m_grid.IsValid(start)) return;
    std::wstring text;
    if (!ReadClipboardText(ControlWindow(), text)) return;

    std::set<int> fitCols;
    std::set<int> fitRows;
    AccBatch batch(*this);
    for (const clip::Field& field : clip::SplitText(text)) {
        const long long row = static_cast<long long>(start.row) + field.row;
        const long long col = static_cast<long long>(start.col) + field.col;
        if (row >= m_grid.Rows() || col >= m_grid.Cols()) continue;
        CCellRef cell = GetCell(static_cast<int>(row), static_cast<int>(col));
        if (!cell) continue;
        VARIANT value;
        value.vt = VT_BSTR;
        value.bstrVal = SysAllocStringLen(field.text.data(), static_cast<UINT>(field.text.size()));
        if (!value.bstrVal) continue;
        const bool stored = cell.SetValue(value);
        if (stored) AccValueChanged(static_cast<int>(row), static_cast<int>(col));
        if (stored && m_bAutoAdjustLastCell) {
            fitCols.insert(static_cast<int>(col));
            fitRows.insert(static_cast<int>(row));
        }
        VariantClear(&value);
    }
    // Each touched column and row once, after all the text is in.
    for (int col : fitCols) FitColumnWidth(col);
    for (int row : fitRows) FitRowHeight(row);
    Refresh();
}

void CTessera::ClearCells()
{
    int minCol = -1, minRow = -1, maxCol = -1, maxRow = -1;
    GetSelectionCorner(Corner::LeftTopX, &minCol);
    GetSelectionCorner(Corner::LeftTopY, &minRow);
    GetSelectionCorner(Corner::RightBottomX, &maxCol);
    GetSelectionCorner(Corner::RightBottomY, &maxRow);

    // The cell is looked up again after the event: the sink may have
    // changed the grid. Without a sink no text is made and nothing raised.
    auto clear = [this](int row, int col) {
        CCellRef cell = GetCell(row, col);
        if (!cell || !cell.Editable()) return;
        if (EventsHeard()) {
            const std::wstring shown = m_formatter.FormatCellText(cell);
            BSTR text = SysAllocStringLen(shown.data(), static_cast<UINT>(shown.size()));
            VARIANT_BOOL cancel = 0;
            Fire_OnBeforeEdit(static_cast<short>(row), static_cast<short>(col), text, &cancel);
            SysFreeString(text);
            if (cancel == VARIANT_TRUE) return;
            cell = GetCell(row, col);
            if (!cell) return;
        }
        cell.ClearValue();
        AccValueChanged(row, col);
        Fire_OnAfterEdit(static_cast<short>(row), static_cast<short>(col));
    };

    if (minCol == -1 && minRow == -1 && maxCol == -1 && maxRow == -1) {
        const CCellID at = FocusCell();
        clear(at.row, at.col);
    } else {
        AccBatch batch(*this);
        for (int row = minRow; row <= maxRow; ++row)
            for (int col = minCol; col <= maxCol; ++col) clear(row, col);
    }
    Refresh();
}
