// CTessera: the grid control object and its automation interface.
#pragma once

#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "kvadra.h"
#include "control/EventProxy.h"
#include "framework/com_ptr.h"
#include "framework/dispatch.h"
#include "framework/object.h"
#include "framework/ole_control.h"
#include "framework/window.h"
#include "interaction/InPlaceEditor.h"
#include "interaction/MouseGesture.h"
#include "interaction/SelectionModel.h"
#include "model/GridTable.h"
#include "model/ValueFormat.h"
#include "view/Accessible.h"
#include "view/Gdi.h"
#include "view/HintWindow.h"
#include "view/Layout.h"
#include "view/Metrics.h"

namespace view {
class CTextMeasure;
}

// The control's property table: what is stored, in order, and which page
// edits what (TesseraProperties.cpp).
const fw::PropertyEntry* TesseraProperties(size_t& count);

class CTessera : public fw::ObjectRoot,
                 public fw::DispatchImpl<ITessera, &IID_ITessera>,
                 public fw::OleControl,
                 public CProxy_ITesseraEvents,
                 public fw::MessageMap {
public:
    CTessera();
    ~CTessera() override;

    static const fw::InterfaceEntry* Interfaces();

    // fw::MessageMap: the control window (table 0) and its contained windows.
    BOOL ProcessWindowMessage(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT& result, DWORD mapId) override;

    // ITessera
    STDMETHOD(put_TabStop)(VARIANT_BOOL newVal) override;
    STDMETHOD(get_TabStop)(VARIANT_BOOL* pVal) override;
    STDMETHOD(get_Cols)(int* pVal) override;
    STDMETHOD(put_Cols)(int newVal) override;
    STDMETHOD(get_Rows)(int* pVal) override;
    STDMETHOD(put_Rows)(int newVal) override;
    STDMETHOD(get_FixedCols)(int* pVal) override;
    STDMETHOD(put_FixedCols)(int newVal) override;
    STDMETHOD(get_FixedRows)(int* pVal) override;
    STDMETHOD(put_FixedRows)(int newVal) override;
    STDMETHOD(get_Alignment)(int* pVal) override;
    STDMETHOD(put_Alignment)(int newVal) override;
    STDMETHOD(get_Editable)(VARIANT_BOOL* pVal) override;
    STDMETHOD(put_Editable)(VARIANT_BOOL newVal) override;
    STDMETHOD(get_FixedFont)(IFontDisp** pVal) override;
    STDMETHOD(putref_FixedFont)(IFontDisp* pFont) override;
    STDMETHOD(put_FixedFont)(IFontDisp* pFont) override;
    STDMETHOD(get_SelectedCellFont)(IFontDisp** pVal) override;
    STDMETHOD(putref_SelectedCellFont)(IFontDisp* pFont) override;
    STDMETHOD(put_SelectedCellFont)(IFontDisp* pFont) override;
    STDMETHOD(get_SelectedRangeFont)(IFontDisp** pVal) override;
    STDMETHOD(putref_SelectedRangeFont)(IFontDisp* pFont) override;
    STDMETHOD(put_SelectedRangeFont)(IFontDisp* pFont) override;
    STDMETHOD(get_Color)(OLE_COLOR* pVal) override;
    STDMETHOD(put_Color)(OLE_COLOR newVal) override;
    STDMETHOD(get_FixedColor)(OLE_COLOR* pVal) override;
    STDMETHOD(put_FixedColor)(OLE_COLOR newVal) override;
    STDMETHOD(get_SelectedCellColor)(OLE_COLOR* pVal) override;
    STDMETHOD(put_SelectedCellColor)(OLE_COLOR newVal) override;
    STDMETHOD(get_SelectedRangeColor)(OLE_COLOR* pVal) override;
    STDMETHOD(put_SelectedRangeColor)(OLE_COLOR newVal) override;
    STDMETHOD(get_WordWrap)(int* pVal) override;
    STDMETHOD(put_WordWrap)(int newVal) override;
    STDMETHOD(get_FixedWordWrap)(int* pVal) override;
    STDMETHOD(put_FixedWordWrap)(int newVal) override;
    STDMETHOD(get_EditMultiline)(VARIANT_BOOL* pVal) override;
    STDMETHOD(put_EditMultiline)(VARIANT_BOOL newVal) override;
    STDMETHOD(get_DrawSelection)(VARIANT_BOOL* pVal) override;
    STDMETHOD(put_DrawSelection)(VARIANT_BOOL newVal) override;
    STDMETHOD(get_ShowCellHint)(VARIANT_BOOL* pVal) override;
    STDMETHOD(put_ShowCellHint)(VARIANT_BOOL newVal) override;
    STDMETHOD(get_AutoAdjustLastCell)(VARIANT_BOOL* pVal) override;
    STDMETHOD(put_AutoAdjustLastCell)(VARIANT_BOOL newVal) override;
    STDMETHOD(get_BorderStyle)(int* pVal) override;
    STDMETHOD(put_BorderStyle)(int newVal) override;
    STDMETHOD(get_RangeSelect)(VARIANT_BOOL* pVal) override;
    STDMETHOD(put_RangeSelect)(VARIANT_BOOL newVal) override;
    STDMETHOD(get_ColSizing)(VARIANT_BOOL* pVal) override;
    STDMETHOD(put_ColSizing)(VARIANT_BOOL newVal) override;
    STDMETHOD(get_RowSizing)(VARIANT_BOOL* pVal) override;
    STDMETHOD(put_RowSizing)(VARIANT_BOOL newVal) override;
    STDMETHOD(get_ScrollBars)(int* pVal) override;
    STDMETHOD(put_ScrollBars)(int newVal) override;
    STDMETHOD(get_Font)(IFontDisp** pVal) override;
    STDMETHOD(putref_Font)(IFontDisp* pFont) override;
    STDMETHOD(put_Font)(IFontDisp* pFont) override;
    STDMETHOD(get_FontColor)(OLE_COLOR* pVal) override;
    STDMETHOD(put_FontColor)(OLE_COLOR newVal) override;
    STDMETHOD(get_Value)(VARIANT* pVal) override;
    STDMETHOD(put_Value)(VARIANT newVal) override;
    STDMETHOD(get_CType)(int* pVal) override;
    STDMETHOD(put_CType)(int newVal) override;
    STDMETHOD(get_TypeEx)(int* pVal) override;
    STDMETHOD(put_TypeEx)(int newVal) override;
    STDMETHOD(get_DTFormat)(BSTR* pVal) override;
    STDMETHOD(put_DTFormat)(BSTR newVal) override;
    STDMETHOD(get_NUMFormat)(BSTR* pVal) override;
    STDMETHOD(put_NUMFormat)(BSTR newVal) override;
    STDMETHOD(get_Hint)(BSTR* pVal) override;
    STDMETHOD(put_Hint)(BSTR newVal) override;
    STDMETHOD(get_SelectionLeftTopX)(int* pVal) override;
    STDMETHOD(put_SelectionLeftTopX)(int newVal) override;
    STDMETHOD(get_SelectionLeftTopY)(int* pVal) override;
    STDMETHOD(put_SelectionLeftTopY)(int newVal) override;
    STDMETHOD(get_SelectionRightBottomX)(int* pVal) override;
    STDMETHOD(put_SelectionRightBottomX)(int newVal) override;
    STDMETHOD(get_SelectionRightBottomY)(int* pVal) override;
    STDMETHOD(put_SelectionRightBottomY)(int newVal) override;
    STDMETHOD(get_CRegionLeftTopX)(int* pVal) override;
    STDMETHOD(put_CRegionLeftTopX)(int newVal) override;
    STDMETHOD(get_CRegionLeftTopY)(int* pVal) override;
    STDMETHOD(put_CRegionLeftTopY)(int newVal) override;
    STDMETHOD(get_CRegionRightBottomX)(int* pVal) override;
    STDMETHOD(put_CRegionRightBottomX)(int newVal) override;
    STDMETHOD(get_CRegionRightBottomY)(int* pVal) override;
    STDMETHOD(put_CRegionRightBottomY)(int newVal) override;
    STDMETHOD(get_ColWidth)(int col, int* pVal) override;
    STDMETHOD(put_ColWidth)(int col, int newVal) override;
    STDMETHOD(get_RowHeight)(int row, int* pVal) override;
    STDMETHOD(put_RowHeight)(int row, int newVal) override;
    STDMETHOD(ClearCRVariants)() override;
    STDMETHOD(AddCRVariant)(VARIANT Value, BSTR text) override;
    STDMETHOD(get_CRVariantValue)(int variant, VARIANT* pVal) override;
    STDMETHOD(put_CRVariantValue)(int variant, VARIANT newVal) override;
    STDMETHOD(get_CRVariantText)(int variant, BSTR* pVal) override;
    STDMETHOD(put_CRVariantText)(int variant, BSTR newVal) override;
    STDMETHOD(ClearSelection)() override;
    STDMETHOD(ShowEdit)() override;
    STDMETHOD(HideEdit)() override;
    STDMETHOD(RemoveCol)(int col) override;
    STDMETHOD(RemoveRow)(int row) override;
    STDMETHOD(InsertCol)(int acol) override;
    STDMETHOD(InsertRow)(int arow) override;
    STDMETHOD(ExchangeCols)(int col1, int col2) override;
    STDMETHOD(ExchangeRows)(int row1, int row2) override;
    STDMETHOD(AdjustColWidths)() override;
    STDMETHOD(AdjustColWidth)(int col) override;
    STDMETHOD(AdjustRowHeights)() override;
    STDMETHOD(AdjustRowHeight)(int row) override;
    STDMETHOD(Update)() override;
    STDMETHOD(get_TotalWidth)(int* pVal) override;
    STDMETHOD(get_TotalHeight)(int* pVal) override;
    STDMETHOD(get_Width)(int* pVal) override;
    STDMETHOD(put_Width)(int newVal) override;
    STDMETHOD(get_Height)(int* pVal) override;
    STDMETHOD(put_Height)(int newVal) override;
    STDMETHOD(get_Enabled)(VARIANT_BOOL* pVal) override;
    STDMETHOD(put_Enabled)(VARIANT_BOOL newVal) override;
    STDMETHOD(SetFont)() override;
    STDMETHOD(get_Widths)(BSTR* pVal) override;
    STDMETHOD(put_Widths)(BSTR newVal) override;
    STDMETHOD(get_Heights)(BSTR* pVal) override;
    STDMETHOD(put_Heights)(BSTR newVal) override;
    STDMETHOD(get_FixedFontColor)(OLE_COLOR* pVal) override;
    STDMETHOD(put_FixedFontColor)(OLE_COLOR newVal) override;
    STDMETHOD(get_BackColor)(OLE_COLOR* pVal) override;
    STDMETHOD(put_BackColor)(OLE_COLOR newVal) override;
    STDMETHOD(get_DragAndDropRows)(LONG* pVal) override;
    STDMETHOD(put_DragAndDropRows)(LONG newVal) override;
    STDMETHOD(get_DragAndDropCols)(LONG* pVal) override;
    STDMETHOD(put_DragAndDropCols)(LONG newVal) override;
    STDMETHOD(get_AllowDraw)(LONG* pVal) override;
    STDMETHOD(put_AllowDraw)(LONG newVal) override;
    STDMETHOD(get_CurrentCellCol)(int* pVal) override;
    STDMETHOD(get_CurrentCellRow)(int* pVal) override;
    STDMETHOD(SetFocus)() override;

protected:
    // fw::OleControl
    HWND CreateControlWindow(HWND parent, const RECT& pos) override;
    HWND ControlWindow() const override { return m_window.Handle(); }
    HRESULT OnDraw(const fw::DrawInfo& info) override;
    const fw::PropertyEntry* Properties(size_t& count) const override;
    // The accelerator hook (interaction/Keyboard.cpp).
    bool PreTranslateKey(const MSG& msg, HRESULT& result) override;
    // Stored forms, by the property table (TesseraProperties.cpp).
    HRESULT LoadState(IStream* stream) override;
    HRESULT SaveState(IStream* stream, BOOL clearDirty) override;
    HRESULT StateSizeMax(ULARGE_INTEGER* size) override;
    HRESULT LoadState(IPropertyBag* bag, IErrorLog* log) override;
    HRESULT SaveState(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;
    HRESULT InitState() override;

    // Activation and sizing (TesseraActivation.cpp).
    HRESULT InPlaceActivate(LONG verb, const RECT* pos = nullptr) override;
    HRESULT DoVerbProperties(const RECT* pos, HWND parent) override;
public:
    STDMETHOD(InPlaceDeactivate)() override;
    STDMETHOD(SetObjectRects)(LPCRECT pos, LPCRECT clip) override;
    STDMETHOD(SetExtent)(DWORD aspect, SIZEL* size) override;
    STDMETHOD(OnAmbientPropertyChange)(DISPID dispid) override;

public:
    // The grid table, for the control's own parts.
    CGridTable& Grid() noexcept { return m_grid; }
    const CGridTable& Grid() const noexcept { return m_grid; }

    // Cell operations (TesseraCells.cpp).
    CCellRef GetCell(int row, int col) const noexcept { return m_grid.GetCell(row, col); }
    void UpdateCellButton(int row, int col);
    // Sends a cell button's messages through the push buttons' table.
    void RouteCellButton(HWND button);
    // The normalised cell region.
    CCellRange CellRegion() const noexcept;

    // Current cell and selection (interaction/Selection.cpp).
    CCellID SetFocusCell(int row, int col) { return m_selection.SetFocusCell(row, col); }
    CCellID FocusCell() const noexcept { return m_selection.FocusCell(); }
    CSelectionModel& Selection() noexcept { return m_selection; }
    const CSelectionModel& Selection() const noexcept { return m_selection; }

    // In-place editing (interaction/Editors.cpp): the mouse and keyboard
    // open and close editors only through these.
    void EditCell(int row, int col);
    void EndEdit(bool discard);
    // The open editor window, null when none.
    HWND OpenEditor() const noexcept;
    // The editors' character filter, for a WM_CHAR aimed at the text box or
    // at a window inside an open editor (the accelerator hook's case).
    void FilterEditorChar(HWND target, WPARAM ch, LPARAM lp);
    // The editor's push button beside the cell, null when none.
    HWND EditorButton() const noexcept;

    // Keyboard (interaction/Keyboard.cpp): the key-down steps, for the
    // window message and the accelerator hook.
    void KeyDown(UINT msg, WPARAM key, LPARAM lp);
    // Clipboard (interaction/Clipboard.cpp), on the selected cells. Copy is
    // false when the clipboard could not be written.
    bool CopyCells();
    void CutCells();
    void PasteCells();
    void ClearCells();

    // Cell hints (view/Hints.cpp): the tooltip lives from in-place
    // activation to deactivation.
    void CreateHintWindow();
    void DestroyHintWindow();
    HWND HintWindow() const noexcept { return m_hint.Handle(); }
    // Sets the tool for the cell under the pointer, once per cell.
    void UpdateCellHint(int row, int col);
    void RelayToHint(UINT msg, WPARAM wp, LPARAM lp);

    // Repaint request, button placement and ViewChange; only with AllowDraw
    // and a window.
    void Refresh();
    // Refresh after the current cell moved: in the control's own window only
    // the cells whose look depends on it are repainted.
    void RefreshMove(const CCellID& from, const CCellID& to);
    // Adds the cell to the region, with the fixed cells of its row and of
    // its column where asked; false when the region could not be made.
    bool AddAround(HRGN region, const view::CLayout& layout, const CCellID& cell, bool rowHeaders, bool colHeaders);

    // Layout for the window's current client size and scroll positions; all
    // zero without a window (view/Scrolling.cpp).
    view::CLayout Layout() const;
    int FixedColumnsWidth() const { return Layout().FixedColumnsWidth(); }
    int FixedRowsHeight() const { return Layout().FixedRowsHeight(); }
    CCellID FirstScrolledCell() const { return Layout().FirstScrolledCell(); }
    bool CellPosition(int row, int col, POINT& pt) const { return Layout().CellPosition(row, col, pt); }
    bool CellBox(int row, int col, RECT& rc) const { return Layout().CellBox(row, col, rc); }
    bool CellShows(int row, int col) const { return ControlWindow() && Layout().CellShows(row, col); }
    CCellRange ShownRange(RECT* extent = nullptr) const { return Layout().ShownRange(extent); }
    CCellRange WholeShownRange() const { return Layout().WholeShownRange(); }
    CCellID CellAtPoint(int x, int y, bool fixedAllowed) const { return Layout().CellAtPoint(x, y, fixedAllowed); }
    bool OnColumnEdge(int x, int y) const { return Layout().OnColumnEdge(x, y); }
    bool OnRowEdge(int x, int y) const { return Layout().OnRowEdge(x, y); }

    // Sizing to contents (view/Fitting.cpp); a negative index fits them all.
    void FitColumnWidth(int col);
    void FitRowHeight(int row);
    void FitSize(bool columns, int index);
    void FitLine(bool columns, int index, view::CTextMeasure& measure);
    // The cell's display text on one line, in the font it is drawn with.
    SIZE MeasureCellText(int row, int col, view::CTextMeasure& measure);

    // Scrolling messages (view/Scrolling.cpp).
    LRESULT OnHScroll(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnVScroll(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnMouseWheel(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnSize(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);

    // Input routed by the message tables; the handlers grow with the mouse,
    // keyboard, clipboard, editor and hint parts.
    LRESULT OnMouseMessage(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);   // interaction/Mouse.cpp
    LRESULT OnKeyDown(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);        // interaction/Keyboard.cpp
    LRESULT OnChar(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnClipboard(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);      // interaction/Clipboard.cpp
    LRESULT OnCommand(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);        // interaction/Editors.cpp
    LRESULT OnEditorKillFocus(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnEditorChar(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnButtonKillFocus(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnRelayToHint(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);    // view/Hints.cpp

    // Accessibility (view/Accessibility.cpp): the window's object for
    // clients, and the WinEvents that tell them of changes.
    LRESULT OnGetObject(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnAccessibleFocus(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    // One cell's value changed: its own event, or inside a batch, one
    // reorder when the batch ends.
    void AccValueChanged(int row, int col);
    // Many cells changed at once.
    void AccReordered();
    // Changes of many cells raise one reorder for all, at the end of the
    // outermost batch; an inactive batch leaves single changes alone.
    class AccBatch {
    public:
        explicit AccBatch(CTessera& owner, bool active = true) noexcept;
        ~AccBatch();
        AccBatch(const AccBatch&) = delete;
        AccBatch& operator=(const AccBatch&) = delete;

    private:
        CTessera& m_owner;
        bool m_active;
    };
    // A cell's push button pressed (interaction/Editors.cpp): the editor
    // closes, the selection extends to the cell, OnButtonClick.
    void PressCellButton(const CCellID& cell);

private:
    // Control window (TesseraWindow.cpp): its message table and handlers.
    static const fw::MessageEntry<CTessera> s_messages[];
    LRESULT OnCreate(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnDestroy(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnEraseBackground(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnUser(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    LRESULT OnDpiChanged(UINT msg, WPARAM wp, LPARAM lp, BOOL& handled);
    // The built-in sizes at the window's DPI (the screen's before there is
    // a window); rows and columns already there keep theirs.
    void TakeMetrics();

    // The control's side of the selection: events, scrolling, repaints.
    class SelectionHooks final : public CSelectionHost {
    public:
        explicit SelectionHooks(CTessera& owner) noexcept : m_owner(owner) {}
        bool RangeSelectAllowed() const override;
        bool SelectCellHeard() const override;
        void OnLeaveCell(int row, int col) override;
        void OnEnterCell(int row, int col) override;
        void OnSelectCell(int col, int row) override;
        void BringIntoView(int row, int col) override;
        void RepaintCells(const std::vector<CCellRange>& ranges, bool now) override;
        void RefreshMove(const CCellID& from, const CCellID& to) override;
        void SelectionChanged() override;

    private:
        CTessera& m_owner;
    };

    // What the accessible object reads and asks of the control.
    class AccessibleHooks final : public view::CAccessibleSource {
    public:
        explicit AccessibleHooks(CTessera& owner) noexcept : m_owner(owner) {}
        IUnknown* Owner() override;
        HWND Window() const override;
        const CGridTable& Grid() const override;
        const CSelectionModel& Selection() const override;
        view::CLayout Layout() const override;
        std::wstring CellText(int row, int col) override;
        std::wstring DisplayName() override;
        bool Enabled() const override;
        bool HasFocus() const override;
        HRESULT Select(const CCellID& cell, view::access::SelectStep step) override;
        HRESULT DoDefaultAction(const CCellID& cell, view::access::CellAction action) override;

    private:
        // A left click at the cell's middle, brought into view first.
        HRESULT Click(const CCellID& cell, WPARAM keys);
        CTessera& m_owner;
    };
    AccessibleHooks m_accessibleHooks{*this};
    // Made on the first request, disconnected when the window goes.
    fw::ComPtr<view::CAccessible> m_accessible;
    void DisconnectAccessible() noexcept;
    void NotifyAccessible(DWORD event, LONG child);
    LONG ChildIdOf(int row, int col) const noexcept;
    int m_accBatch = 0;
    bool m_accReorderPending = false;

    // One selection corner put: the new value replaces its own corner.
    enum class Corner { LeftTopX, LeftTopY, RightBottomX, RightBottomY };
    HRESULT GetSelectionCorner(Corner which, int* pVal);
    HRESULT PutSelectionCorner(Corner which, int newVal);

    // Sizing (TesseraActivation.cpp): the control-size step and the extent
    // handler, which a host's SetExtent from OnPosRectChange must not re-enter.
    HRESULT SetControlSize(int width, int height);
    void OnSetExtent(const SIZEL& size);
    // Cell buttons live while the window does.
    void RemakeCellButtons();
    void DestroyCellButtons();
    bool m_bSizing = false;
    SIZEL m_lastExtent = {0, 0};

    fw::Window m_window{*this};
    // The in-place editor's windows, routed through tables 1 to 5.
    interaction::CInPlaceEditor m_editor{*this};
    // Commits the open editor into its cell with the closing events; false
    // when a sink closed or replaced the editor meanwhile.
    bool CommitEditor();
    // Hidden date picker that formats dates while the window exists.
    fw::ContainedWindow m_wndFormatPicker{L"SysDateTimePick32", *this, 6};
    model::CValueFormatter m_formatter;

    // Steps that the window, scrolling, editing and event parts complete
    // (TesseraHooks.cpp).
    void UpdateScrollBars();
    void BringIntoView(int row, int col);
    // One scroll-bar step of SB_VERT or SB_HORZ, as WM_VSCROLL/WM_HSCROLL ask.
    void ScrollStep(int bar, int code);
    // What every scroll does first: end the edit, take the focus.
    void BeginScroll();
    // Moves the view of one bar to pos. A line step moves the pixels and
    // repaints only the uncovered strip; other moves repaint the scrolled area.
    // False when the scroll bar refused the position.
    bool MoveView(int bar, int pos, bool line);
    void CloseEditor();
    void PositionButtons();
    // Hides the buttons PositionButtons showed last, except those in keep.
    void HideButtonsBut(const std::vector<HWND>& keep);
    std::vector<HWND> m_shownButtons;
    RECT CellButtonRect(int row, int col) const;
    RECT CellButtonRect(const view::CLayout& layout, int row, int col) const;
    // Paints one shown cell at once on hdc, or on a context of the window when
    // null; false when nothing was done.
    bool PaintCellNow(HDC hdc, int row, int col);

    // Painting (view/Painting.cpp), in the layout's coordinates.
    // visible, when not null, is the window's own context: cells it does not
    // show are skipped (a move leaves a few scattered cells to repaint).
    void PaintGrid(HDC dc, const RECT& clip, const view::CLayout& layout, HDC visible = nullptr);
    void PaintBackground(HDC dc, const RECT& clip, const view::CLayout& layout);
    bool PaintFixedCell(HDC dc, int row, int col, RECT rect);
    bool PaintCell(HDC dc, const CCellRef& cell, RECT rect);
    // The font a normal cell is drawn, edited and measured in, without an
    // added reference: a cell that never had its own made shows the standard
    // one, and none is made for it.
    IFontDisp* CellFont(const CCellRef& cell);

    // Region loops: columns outer, rows inner, cells outside the table
    // skipped. The visitor returns false to stop.
    template <class Visit> bool ForEachRegionCell(Visit visit);
    // Per-cell getter: E_FAIL without a first cell, then E_POINTER.
    template <class Out, class Read> HRESULT ReadFirstCell(Out* out, Read read);
    // Whether every cell of the region has a choice-list entry at index.
    bool RegionHasVariant(int index);
    void ClampRegionCols();
    void ClampRegionRows();
    HRESULT TranslateColor(OLE_COLOR color, COLORREF* out);
    HRESULT PutRegionColor(const char* line, OLE_COLOR color, COLORREF CellAttrs::*field);
    // Publishes text as the caller's error description and returns hr.
    HRESULT ReportError(const wchar_t* text, HRESULT hr = E_FAIL);
    // The refusal of a table of rows x cols, saying why.
    HRESULT RefuseSize(int rows, int cols);

    // Grid table, focus cell and cell region.
    CGridTable m_grid;
    view::Metrics m_metrics;
    SelectionHooks m_selectionHooks{*this};
    CSelectionModel m_selection{m_grid, m_selectionHooks};
    int m_nCRegionLeftTopX = 0;
    int m_nCRegionLeftTopY = 0;
    int m_nCRegionRightBottomX = 0;
    int m_nCRegionRightBottomY = 0;
    BOOL m_bUserMode = FALSE;

    // Settings. VARIANT_BOOL ones are kept sign-extended.
    int m_nEnabled = 1;
    int m_nTabStop = 1;
    int m_nScrollBars = 0;
    int m_nBorderStyle = 1;
    int m_bRowSizing = 1;
    int m_bColSizing = 1;
    int m_bRangeSelect = 1;
    int m_bAutoAdjustLastCell = 0;
    int m_bShowCellHint = 1;
    int m_bDrawSelection = 1;
    int m_bEditMultiline = 1;
    int m_nFixedWordWrap = 1;
    COLORREF m_clrBackColor = 0xFFFFFF;
    COLORREF m_clrFixedFontColor = 0;
    COLORREF m_clrSelectedRangeColor = 0;
    COLORREF m_clrSelectedCellColor = 0;
    COLORREF m_clrFixedColor = 0;
    LONG m_nDragAndDropRows = 1;
    LONG m_nDragAndDropCols = 1;
    LONG m_nAllowDraw = 1;
    int m_nWidth = 100;
    int m_nHeight = 100;
    int m_nWheelScrollLines = 3;
    // Colours without a property, taken when the object is made.
    COLORREF m_clrGridLines = 0xC0C0C0;
    COLORREF m_clrFixedFill = GetSysColor(COLOR_BTNFACE);
    COLORREF m_clrCellFill = GetSysColor(COLOR_WINDOW);
    // The first paint sets up the scroll bars.
    bool m_bPainted = false;
    // Scroll range maxima last set by UpdateScrollBars.
    int m_nHScrollMax = 0;
    int m_nVScrollMax = 0;

    // Control-wide fonts.
    fw::ComPtr<IFontDisp> m_pFixedFont;
    fw::ComPtr<IFontDisp> m_pSelectedCellFont;
    fw::ComPtr<IFontDisp> m_pSelectedRangeFont;
    // The standard font, for painting cells that never had their own made.
    fw::ComPtr<IFontDisp> m_pStandardFont;
    // The object of the font a cell paint left selected: a cell dropped by a
    // host's code mid-paint must not take the selected font with it.
    fw::ComPtr<IFont> m_pSelectedFontObject;
    // The off-screen surface small repaints borrow (view/Painting.cpp).
    view::CSurfaceCache m_surface;

    // Mouse handling (interaction/Mouse.cpp): the control's side of the
    // gestures, and the message being handled, for relaying to the tooltip.
    class MouseHooks final : public mouse::CMouseHost {
    public:
        explicit MouseHooks(CTessera& owner) noexcept : m_owner(owner) {}
        bool Enabled() const override;
        bool ColSizing() const override;
        bool RowSizing() const override;
        bool DragRows() const override;
        bool DragCols() const override;
        view::CLayout Layout() const override;
        RECT Client() const override;
        POINT CursorPos() const override;
        void CloseEditor() override;
        void EditCell(int row, int col) override;
        bool HasFocus() const override;
        void TakeFocus() override;
        void OnClick() override;
        void OnDblClick() override;
        void OnSelectRange() override;
        void OnFixedColClick(int col) override;
        void OnFixedRowClick(int row) override;
        void DropRow(const mouse::Drop& drop, int dragged, int target) override;
        void DropCol(const mouse::Drop& drop, int dragged, int target) override;
        void SetColWidth(int col, int width) override;
        void SetRowHeight(int row, int height) override;
        void FitCol(int col) override;
        void FitRow(int row) override;
        void Capture() override;
        void ReleaseCapture() override;
        bool HasCapture() const override;
        void ShowCursor(mouse::Cursor cursor) override;
        void ClipCursor(const RECT* client) override;
        void InvertRect(const RECT& rc) override;
        UINT_PTR StartTimer() override;
        void StopTimer(UINT_PTR id) override;
        void SendKey(WORD key) override;
        void HoverHint(const CCellID& cell) override;
        void RelayToHint() override;

        MSG current = {};

    private:
        // One drop: the move, then the event; the exchanges it stands for
        // each ask for a repaint.
        void Drop(bool rows, const mouse::Drop& drop);
        CTessera& m_owner;
    };
    MouseHooks m_mouseHooks{*this};
    mouse::CMouseGesture m_mouse{m_grid, m_selection, m_mouseHooks};
    view::CHintWindow m_hint;
};
