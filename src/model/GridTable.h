// CGridTable: the cells of the grid with the sizes of its rows and columns.
// It knows nothing of windows or events; the control adds those steps.
#pragma once

#include <windows.h>
#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <vector>

#include "model/CellLines.h"
#include "model/GridCell.h"
#include "model/SizeSums.h"

// A position in the grid, row first; (-1, -1) is no cell.
struct CCellID {
    int row = -1;
    int col = -1;
    CCellID() noexcept = default;
    CCellID(int r, int c) noexcept : row(r), col(c) {}
    bool operator==(const CCellID& o) const noexcept { return row == o.row && col == o.col; }
    bool operator!=(const CCellID& o) const noexcept { return !(*this == o); }
};

// Inclusive rectangle of cells.
struct CCellRange {
    int minRow = -1;
    int minCol = -1;
    int maxRow = -1;
    int maxCol = -1;
};

class CGridTable;

// A cell of a table, by position: a light handle that reads the table again
// on every call. Null (false) for a position outside the table; a handle
// kept across host code names whatever cell is at its position then, and
// does nothing once the position is gone.
class CCellRef {
public:
    CCellRef() noexcept = default;
    CCellRef(CGridTable* table, int row, int col) noexcept : m_table(table), m_row(row), m_col(col) {}

    explicit operator bool() const noexcept { return Slot() != nullptr; }
    int Row() const noexcept { return m_row; }
    int Col() const noexcept { return m_col; }

    // --- value ---
    // The stored value, unconverted; valid until the table next changes.
    const VARIANT& Value() const noexcept;
    // False while the cell still holds a new cell's empty text, which is made
    // only when first read: a reader that only needs its text knows it is empty.
    bool ValueMade() const noexcept;
    HRESULT GetValue(VARIANT* out) const noexcept;
    // Changes CType; empties the value if it cannot take the new type.
    void SetType(int type) const;
    // Stores value converted to the cell's type; FALSE when it cannot be.
    BOOL SetValue(const VARIANT& value) const;
    // Empties the value (VT_EMPTY), whatever the type: a cleared cell.
    void ClearValue() const noexcept;

    // The steps of SetType and SetValue apart, for callers that must find
    // the cell again in between: converting an object's value runs its
    // code, which may take the cell away. Preparing never touches a cell.
    // Whether value can take CType type.
    static bool CanTakeType(const VARIANT& value, int type);
    // value converted to what a cell of CType type stores; false when it cannot be.
    static bool ConvertValue(const VARIANT& value, int type, fw::Variant& out);
    // Stores the new type, emptying the value unless it is kept; a value
    // taken out lands in `old`, to be freed once the cell is left alone.
    void ApplyType(int type, bool keepValue, fw::Variant& old) const noexcept;
    // Moves a converted value in; the previous value lands in v.
    void TakeValue(fw::Variant& v) const noexcept;

    // --- plain attributes ---
    const CellAttrs& Attrs() const noexcept;
    int CType() const noexcept { return Attrs().ctype; }
    int TypeEx() const noexcept { return Attrs().typeEx; }
    int Alignment() const noexcept { return Attrs().alignment; }
    int WordWrap() const noexcept { return Attrs().wordWrap; }
    int Editable() const noexcept { return Attrs().editable; }
    COLORREF Color() const noexcept { return Attrs().color; }
    COLORREF FontColor() const noexcept { return Attrs().fontColor; }
    // One attribute, e.g. Set(&CellAttrs::alignment, 2); false, with the
    // cell unchanged, when memory runs out.
    template <class T>
    bool Set(T CellAttrs::*field, std::common_type_t<T> value) const noexcept
    {
        CellAttrs a = Attrs();
        a.*field = value;
        return SetAttrs(a);
    }
    bool SetAttrs(const CellAttrs& attrs) const noexcept;

    // --- texts: empty, not null, in a new cell ---
    const CCellText& Hint() const noexcept { return Text(&CellExtras::hint); }
    const CCellText& NumFormat() const noexcept { return Text(&CellExtras::numFormat); }
    const CCellText& DtFormat() const noexcept { return Text(&CellExtras::dtFormat); }
    // Stores a copy; a null BSTR is stored as null.
    HRESULT SetHint(BSTR s) const noexcept { return SetText(&CellExtras::hint, s); }
    HRESULT SetNumFormat(BSTR s) const noexcept { return SetText(&CellExtras::numFormat, s); }
    HRESULT SetDtFormat(BSTR s) const noexcept { return SetText(&CellExtras::dtFormat, s); }

    // --- font: the cell's own first font is made when first asked for ---
    HRESULT get_Font(IFontDisp** ppFont) const;
    HRESULT put_Font(IFontDisp* pFont) const;   // keeps a clone
    HRESULT putref_Font(IFontDisp* pFont) const; // shares the object
    // The font for drawing, without an added reference; may be null.
    IFontDisp* Font() const;
    // False until the font object is made: the cell still has the standard
    // font, which painting can take from elsewhere without making one.
    bool FontMade() const noexcept;
    // Puts font in the cell's font slot, taking over the caller's reference;
    // returns the previous font, to be released once the cell is left alone.
    IFontDisp* ExchangeFont(IFontDisp* font) const noexcept;

    // --- push button shown in the cell (TypeEx 8) ---
    bool HasButton() const noexcept { return ButtonWindow() != nullptr; }
    HWND ButtonWindow() const noexcept;
    // Makes a new hidden button, child of parent, at rect; replaces any old one.
    void CreateButton(HWND parent, const RECT& rect) const;
    void DestroyButton() const noexcept;
    void PositionButton(const RECT& rect) const;

    // --- choice list, in the order of addition ---
    // An index outside the list gives E_INVALIDARG and touches nothing; a
    // text that cannot be copied gives E_OUTOFMEMORY and leaves the list as it was.
    int VariantCount() const noexcept;
    void ClearVariants() const noexcept;
    HRESULT AddVariant(const VARIANT& value, BSTR text) const noexcept;
    HRESULT GetVariantValue(int index, VARIANT* out) const noexcept;
    HRESULT SetVariantValue(int index, const VARIANT& value) const noexcept;
    HRESULT GetVariantText(int index, BSTR* out) const noexcept;
    HRESULT SetVariantText(int index, BSTR text) const noexcept;

    // --- focus state, written by the selection model ---
    bool Focused() const noexcept;
    bool ButtonListed() const noexcept;

private:
    CellSlot* Slot() const noexcept;
    CellExtras* Extras() const noexcept;
    // The cell's extras, made when missing; null without memory or a cell.
    CellExtras* MakeExtras() const noexcept;
    // Lets the extras go once nothing in them differs from a new cell's.
    void DropEmptyExtras() const noexcept;
    std::vector<variant_str>* List() const noexcept;
    const CCellText& Text(CCellText CellExtras::*which) const noexcept;
    HRESULT SetText(CCellText CellExtras::*which, BSTR s) const noexcept;

    CGridTable* m_table = nullptr;
    int m_row = -1;
    int m_col = -1;
};

// The attribute sets of a table, each kept once and counted by the cells
// that refer to it. Set 0 is a new cell's and is never counted or freed.
class CAttrPool {
public:
    CAttrPool();
    const CellAttrs& operator[](std::uint32_t i) const noexcept { return m_sets[i]; }
    // The index of a set equal to a, with a reference added; throws bad_alloc.
    std::uint32_t Intern(const CellAttrs& a);
    void Release(std::uint32_t i) noexcept;
    // Sets in use besides set 0.
    size_t Count() const noexcept { return m_index.size(); }

private:
    std::vector<CellAttrs> m_sets;
    std::vector<std::uint32_t> m_refs;
    std::vector<std::uint32_t> m_free;  // capacity kept at m_sets' so that freeing never allocates
    std::unordered_map<CellAttrs, std::uint32_t, CellAttrsHash> m_index;
    std::uint32_t m_last = 0;  // the set found last: region puts ask for the same one in a row
};

class CGridTable {
public:
    CGridTable() = default;
    CGridTable(const CGridTable&) = delete;
    CGridTable& operator=(const CGridTable&) = delete;
    ~CGridTable();

    int Rows() const noexcept { return static_cast<int>(m_lines.size()); }
    int Cols() const noexcept { return static_cast<int>(m_colWidths.size()); }
    int FixedRows() const noexcept { return m_nFixedRows; }
    int FixedCols() const noexcept { return m_nFixedCols; }
    void SetFixedRows(int n) noexcept { m_nFixedRows = n; }
    void SetFixedCols(int n) noexcept { m_nFixedCols = n; }

    bool IsValid(int row, int col) const noexcept
    {
        return row >= 0 && row < Rows() && col >= 0 && col < Cols();
    }
    bool IsValid(const CCellID& cell) const noexcept { return IsValid(cell.row, cell.col); }
    bool IsValid(const CCellRange& r) const noexcept
    {
        return r.minRow >= 0 && r.minCol >= 0 && r.maxRow >= 0 && r.maxCol >= 0
            && r.maxRow < Rows() && r.maxCol < Cols()
            && r.minRow <= r.maxRow && r.minCol <= r.maxCol;
    }

    // A null handle for a position outside the table.
    CCellRef GetCell(int row, int col) const noexcept
    {
        if (!IsValid(row, col)) return CCellRef();
        return CCellRef(const_cast<CGridTable*>(this), row, col);
    }

    // -1 for a position outside the table.
    int GetColumnWidth(int col) const noexcept;
    int GetRowHeight(int row) const noexcept;
    // False (nothing stored) for a position outside the table.
    bool SetColumnWidth(int col, int width) noexcept;
    bool SetRowHeight(int row, int height) noexcept;
    // What rows and columns added from now on get.
    void SetDefaultSizes(int colWidth, int rowHeight) noexcept
    {
        m_defaultColWidth = colWidth;
        m_defaultRowHeight = rowHeight;
    }

    // Sums with the wrap-around of 32-bit arithmetic.
    int TotalWidth() const noexcept { return static_cast<int>(m_totalWidth); }
    int TotalHeight() const noexcept { return static_cast<int>(m_totalHeight); }

    // Widths and heights with their running sums, current as of this call.
    const CSizeSums& ColumnSums() const { m_colSums.Update(m_colWidths); return m_colSums; }
    const CSizeSums& RowSums() const { m_rowSums.Update(m_rowHeights); return m_rowSums; }

    // Destroys or makes cells at the end; counts below 0 are ignored. New
    // columns and rows get the default sizes and new cells. False, with the
    // table unchanged, when the cells cannot be had.
    bool ResizeCols(int count);
    bool ResizeRows(int count);
    // Whether a table of that size stays within the cells a grid may hold.
    static bool CanHold(long long rows, long long cols) noexcept;
    // 200 million cells is tens of gigabytes: beyond that a size is a mistake.
    static constexpr long long kMaxCells = 200000000;
    // Bytes that growing the table to rows x cols is expected to take beyond
    // what it holds now (cells, their slots, new rows); 0 for a shrink.
    static unsigned long long GrowCost(long long oldRows, long long oldCols, long long rows, long long cols) noexcept;

    // Swap two columns or rows with their sizes; false when an index is
    // outside the table or both are the same.
    bool ExchangeCols(int col1, int col2) noexcept;
    bool ExchangeRows(int row1, int row2) noexcept;
    // Moves one column or row to index to, the ones between shifting by one:
    // the order a run of neighbour exchanges gives, at the cost of one pass.
    bool MoveCol(int from, int to) noexcept;
    bool MoveRow(int from, int to) noexcept;

    // Rows keep a count of their cells that were given a button window, so
    // that placing buttons visits those rows and not the whole table. The
    // counts travel with row exchanges; a cell that lost its button, or a
    // column cut away, is counted out on the next walk.
    void NoteButtonCell(int row, int col) noexcept;
    bool HasButtonCells() const noexcept { return m_nButtonCells > 0; }
    // Whether the row may hold button cells (its count is pruned lazily).
    bool RowHasButtonCells(int row) const noexcept
    {
        return row >= 0 && row < static_cast<int>(m_rowButtons.size()) && m_rowButtons[row] > 0;
    }
    // f(row, col, cell) for each cell that has a button window.
    template <class F>
    void ForEachButtonCell(F f);
    // f(row, col) for each listed cell, with its button window or without
    // (taken down while the control has no window).
    template <class F>
    void ForEachListedCell(F f);

    // Only one cell carries the focus flag, so clearing is cheap.
    void SetFocusFlag(int row, int col) noexcept;
    void ClearFocusFlags() noexcept;

    // Attribute sets in use besides a new cell's, and cells with extras.
    size_t AttrSets() const noexcept { return m_attrs.Count(); }
    size_t CellsWithExtras() const noexcept { return m_extras.size() - m_freeExtras.size(); }

    // Sizes as decimal numbers separated by single spaces.
    std::wstring WidthsText() const;
    std::wstring HeightsText() const;

    // Splits 8-bit text at every space and reads each piece as atoi does.
    static std::vector<int> ParseSizes(const std::string& text);
    // atoi on [begin, end): white space, a sign, digits; 0 without digits,
    // clamped to the int range.
    static int Atoi(const char* begin, const char* end) noexcept;

private:
    friend class CCellRef;

    CellExtras* ExtrasOf(const CellSlot& slot) const noexcept
    {
        return slot.extras ? m_extras[slot.extras - 1].get() : nullptr;
    }
    // Takes the cells' attributes, extras and values out of the table's
    // books and frees them: window and host code may run, so the table must
    // be whole again by then.
    void FreeSlots(CellSlot* slots, size_t count) noexcept;
    // Moves the focus position as cells move: f maps an old index to the new.
    template <class Map>
    void MoveFocus(bool rows, Map f) noexcept
    {
        if (m_focus.row < 0) return;
        (rows ? m_focus.row : m_focus.col) = f(rows ? m_focus.row : m_focus.col);
    }

    CCellLines m_store;
    std::vector<CellSlot*> m_lines;  // per row, its cells: Cols() slots or more
    std::vector<int> m_rowHeights;
    std::vector<int> m_colWidths;
    std::uint32_t m_totalWidth = 0;
    std::uint32_t m_totalHeight = 0;
    int m_defaultColWidth = 50;
    int m_defaultRowHeight = 40;
    mutable CSizeSums m_colSums;
    mutable CSizeSums m_rowSums;
    int m_nFixedRows = 0;
    int m_nFixedCols = 0;
    CCellID m_focus;                // the cell with the focus flag
    std::vector<int> m_rowButtons;  // per row, listed button cells
    long long m_nButtonCells = 0;   // their sum
    CAttrPool m_attrs;
    std::vector<std::unique_ptr<CellExtras>> m_extras;
    std::vector<std::uint32_t> m_freeExtras;  // capacity kept at m_extras', as with the sets
};

template <class F>
void CGridTable::ForEachButtonCell(F f)
{
    for (int row = 0; row < Rows() && m_nButtonCells > 0; ++row) {
        if (m_rowButtons[row] == 0) continue;
        int counted = 0;
        for (int col = 0; col < Cols(); ++col) {
            CellSlot& slot = m_lines[row][col];
            if (!slot.buttonListed) continue;
            const CellExtras* extras = ExtrasOf(slot);
            if (extras && extras->button) {
                ++counted;
            } else {
                slot.buttonListed = 0;
            }
        }
        m_nButtonCells += counted - m_rowButtons[row];
        m_rowButtons[row] = counted;
        // Window code runs in f; the row is read again for each cell.
        for (int col = 0; col < Cols(); ++col) {
            CCellRef cell = GetCell(row, col);
            if (cell && cell.ButtonListed() && cell.HasButton()) f(row, col, cell);
        }
    }
}

template <class F>
void CGridTable::ForEachListedCell(F f)
{
    // f runs window code: the table is read again for each cell.
    for (int row = 0; row < Rows() && m_nButtonCells > 0; ++row) {
        if (m_rowButtons[row] == 0) continue;
        for (int col = 0; col < Cols(); ++col) {
            CCellRef cell = GetCell(row, col);
            if (cell && cell.ButtonListed()) f(row, col);
        }
    }
}
