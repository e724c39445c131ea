// The control's life in a host: sizing between pixels and HIMETRIC, TabStop,
// SetFocus, the verbs' additions, deactivation, ambient changes, the property
// frame, the repaints a host is asked for, the control window's own life, and
// the guards against hostile sizes, formats and hosts.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <ole2.h>
#include <olectl.h>

#include <algorithm>
#include <chrono>
#include <climits>
#include <functional>
#include <string>
#include <vector>

#include "control/Embedding.h"
#include "control/control_test.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "model/GridTable.h"
#include "support/hosted_grid.h"
#include "support/sited_control.h"

namespace {

using control_test::IntOf;
using test::NewGrid;
using Events = std::vector<std::string>;  // "15()" is ViewChange

SIZE Dpi() { return embedding::ScreenDpi(); }

std::vector<HWND> Children(HWND parent, const wchar_t* cls)
{
    std::vector<HWND> found;
    for (HWND c = nullptr; (c = FindWindowExW(parent, c, cls, nullptr));) found.push_back(c);
    return found;
}

TEST(Embedding, UnitsVerbNamesAndSpans)
{
    const struct { int pixels, dpi, himetric, back; } units[] = {
        {100, 96, 2646, 100}, {100, 120, 2117, 100}, {1, 96, 26, 1}, {0, 96, 0, 0}, {-100, 96, -2646, -100},
    };
    for (const auto& u : units) {
        EXPECT_EQ(u.himetric, embedding::HimetricFromPixels(u.pixels, u.dpi)) << u.pixels << "@" << u.dpi;
        EXPECT_EQ(u.back, embedding::PixelsFromHimetric(u.himetric, u.dpi)) << u.pixels << "@" << u.dpi;
    }
    EXPECT_EQ(-1, embedding::HimetricFromPixels(100, 0));
    EXPECT_EQ(-1, embedding::HimetricFromPixels(INT_MAX, 1));  // beyond int

    EXPECT_EQ(50, embedding::Span(80, 30));
    EXPECT_EQ(INT_MAX, embedding::Span(INT_MIN, INT_MAX));
    EXPECT_STREQ("OLEIVERB_INPLACEACTIVATE", embedding::VerbName(OLEIVERB_INPLACEACTIVATE));
    EXPECT_STREQ("OLEIVERB_PROPERTIES", embedding::VerbName(OLEIVERB_PROPERTIES));
    EXPECT_EQ(nullptr, embedding::VerbName(1));
    EXPECT_EQ(nullptr, embedding::VerbName(-8));
}

TEST(Embedding, OnlyPagesThatCanBeCreatedReachTheFrame)
{
    // Missing classes and classes that are no page drop out; the rest keep their order.
    const CLSID missing = {0x5d1b0c3e, 0x1111, 0x4222, {0x83, 0x33, 0x44, 0x44, 0x55, 0x55, 0x66, 0x66}};
    const CLSID asked[] = {CLSID_GenProp, missing, CLSID_CellProp, CLSID_Tessera, CLSID_SizeCtl};
    const std::vector<CLSID> shown = embedding::CreatablePages(asked, 5);
    const CLSID own[] = {CLSID_GenProp, CLSID_CellProp, CLSID_SizeCtl};
    ASSERT_EQ(3u, shown.size());
    for (size_t i = 0; i < 3; ++i) EXPECT_TRUE(IsEqualCLSID(own[i], shown[i])) << i;
    EXPECT_TRUE(embedding::CreatablePages(&missing, 1).empty());
}

// A control with a recording site; active on demand.
struct Sited : test::SitedControl {
    SIZEL Extent()
    {
        SIZEL s = {-1, -1};
        ole->GetExtent(DVASPECT_CONTENT, &s);
        return s;
    }
};

TEST_F(Sited, SizingBeforeActivationStoresTheExtentOnly)
{
    EXPECT_EQ(100, IntOf(grid.Get(), &ITessera::get_Width));
    EXPECT_EQ(100, IntOf(grid.Get(), &ITessera::get_Height));
    EXPECT_EQ(10160, Extent().cx);
    EXPECT_EQ(7620, Extent().cy);

    EXPECT_EQ(S_OK, grid->put_Width(100));
    EXPECT_EQ(S_OK, grid->put_Height(50));
    EXPECT_EQ(MulDiv(2540, 100, Dpi().cx), Extent().cx);
    EXPECT_EQ(MulDiv(2540, 50, Dpi().cy), Extent().cy);
    EXPECT_EQ(50, IntOf(grid.Get(), &ITessera::get_Height));
    EXPECT_FALSE(site.Log().Has("OnPosRectChange")) << "not in place: the site is not asked";

    // A null size is refused before anything reads it; another aspect is
    // refused and leaves the extent.
    EXPECT_EQ(E_POINTER, ole->SetExtent(DVASPECT_CONTENT, nullptr));
    EXPECT_EQ(E_POINTER, ole->SetExtent(DVASPECT_THUMBNAIL, nullptr));
    SIZEL other = {500, 500};
    EXPECT_EQ(DV_E_DVASPECT, ole->SetExtent(DVASPECT_ICON, &other));
    EXPECT_EQ(MulDiv(2540, 100, Dpi().cx), Extent().cx);
}

TEST_F(Sited, SizingInPlaceAsksTheSiteAndObjectRectsSetTheSize)
{
    ASSERT_EQ(S_OK, Verb(OLEIVERB_INPLACEACTIVATE));
    HWND hwnd = Window();
    ASSERT_NE(nullptr, hwnd);
    RECT before = {};
    GetWindowRect(hwnd, &before);
    EXPECT_EQ(200, IntOf(grid.Get(), &ITessera::get_Width));  // the site's position
    EXPECT_EQ(150, IntOf(grid.Get(), &ITessera::get_Height));

    site.Log().Clear();
    EXPECT_EQ(S_OK, grid->put_Width(120));
    EXPECT_EQ(1u, site.Log().Count("OnPosRectChange")) << site.Log().Dump();
    EXPECT_EQ(120, site.posChange.right - site.posChange.left);
    EXPECT_EQ(150, site.posChange.bottom - site.posChange.top);
    RECT after = {};
    GetWindowRect(hwnd, &after);
    EXPECT_TRUE(EqualRect(&before, &after)) << "the container decides";
    EXPECT_EQ(MulDiv(2540, 120, Dpi().cx), Extent().cx);

    // An aspect that includes content runs the handler, and is still refused.
    site.Log().Clear();
    SIZEL size = {2000, 2000};
    EXPECT_EQ(DV_E_DVASPECT, ole->SetExtent(DVASPECT_CONTENT | DVASPECT_ICON, &size));
    EXPECT_EQ(1u, site.Log().Count("OnPosRectChange"));

    RECT reversed = {300, 200, 100, 50};
    EXPECT_EQ(S_OK, InPlace()->SetObjectRects(&reversed, &reversed));
    EXPECT_EQ(200, IntOf(grid.Get(), &ITessera::get_Width));
    EXPECT_EQ(150, IntOf(grid.Get(), &ITessera::get_Height));
    EXPECT_EQ(E_POINTER, InPlace()->SetObjectRects(nullptr, &reversed));
}

TEST_F(Sited, TabStopMarksTheControlForSavingAndTellsDataSinks)
{
    FORMATETC format = {CF_METAFILEPICT, nullptr, DVASPECT_CONTENT, -1, TYMED_MFPICT};
    fw::ComPtr<IDataObject> data;
    ASSERT_EQ(S_OK, ole->QueryInterface(IID_IDataObject, data.PutVoid()));
    DWORD cookie = 0;
    ASSERT_EQ(S_OK, data->DAdvise(&format, ADVF_NODATA, site.Sink(), &cookie));

    fw::ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(S_OK, ole->QueryInterface(IID_IPersistStreamInit, persist.PutVoid()));
    EXPECT_EQ(S_FALSE, persist->IsDirty());
    EXPECT_EQ(S_OK, grid->put_TabStop(VARIANT_FALSE));
    EXPECT_EQ(S_OK, persist->IsDirty());
    VARIANT_BOOL b = VARIANT_TRUE;
    EXPECT_EQ(S_OK, grid->get_TabStop(&b));
    EXPECT_EQ(VARIANT_FALSE, b);
    EXPECT_EQ(E_POINTER, grid->get_TabStop(nullptr));
    EXPECT_TRUE(site.Log().Has("Sink.OnDataChange")) << site.Log().Dump();
    EXPECT_EQ(S_OK, data->DUnadvise(cookie));
}

TEST_F(Sited, ActivationMakesTheTooltipAndDeactivationTakesIt)
{
    auto tooltips = [] { return test::ThreadWindows(L"tooltips_class32"); };
    const size_t before = tooltips().size();
    for (LONG verb : {OLEIVERB_SHOW, OLEIVERB_INPLACEACTIVATE, OLEIVERB_UIACTIVATE}) {
        ASSERT_EQ(S_OK, Verb(verb));
        EXPECT_EQ(before + 1, tooltips().size()) << verb;
        InPlace()->InPlaceDeactivate();
        EXPECT_EQ(before, tooltips().size()) << verb;
    }
}

TEST_F(Sited, AmbientUserModeIsReadAgainWhenItChanges)
{
    // In design mode a column count change stretches the cell region over the table.
    fw::ComPtr<IOleControl> control;
    ASSERT_EQ(S_OK, ole->QueryInterface(IID_IOleControl, control.PutVoid()));
    site.userMode = false;
    EXPECT_EQ(S_OK, control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE));
    test::Region(grid.Get(), 1, 1);
    grid->put_Cols(6);
    EXPECT_EQ(0, IntOf(grid.Get(), &ITessera::get_CRegionLeftTopX));
    EXPECT_EQ(5, IntOf(grid.Get(), &ITessera::get_CRegionRightBottomX));

    site.userMode = true;
    EXPECT_EQ(S_OK, control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE));
    test::Region(grid.Get(), 1, 1);
    grid->put_Cols(7);
    EXPECT_EQ(1, IntOf(grid.Get(), &ITessera::get_CRegionLeftTopX));
    EXPECT_EQ(1, IntOf(grid.Get(), &ITessera::get_CRegionRightBottomX));
    EXPECT_EQ(S_OK, control->OnAmbientPropertyChange(DISPID_AMBIENT_BACKCOLOR));
    EXPECT_EQ(E_NOTIMPL, control->GetControlInfo(nullptr));
}

// The property frame is modal: a timer on this thread finds it, reads its
// tab titles and closes it.
struct FrameCloser {
    static int seen;
    static std::vector<std::wstring> tabs;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        for (HWND w : test::ThreadWindows(L"#32770", true)) {
            ++seen;
            tabs.clear();
            HWND control = FindWindowExW(w, nullptr, WC_TABCONTROLW, nullptr);
            wchar_t text[64] = {};
            TCITEMW item = {TCIF_TEXT, 0, 0, text, 64, 0, 0};
            for (WPARAM i = 0; SendMessageW(control, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)); ++i) tabs.push_back(text);
            PostMessageW(w, WM_COMMAND, IDCANCEL, 0);
            PostMessageW(w, WM_CLOSE, 0, 0);
        }
    }
};
int FrameCloser::seen = 0;
std::vector<std::wstring> FrameCloser::tabs;

TEST_F(Sited, PropertiesVerbAndPrimaryInADesignerShowTheFrameWithTheThreePages)
{
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, &FrameCloser::Tick);
    FrameCloser::seen = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(S_OK, Verb(OLEIVERB_PROPERTIES));
    EXPECT_LE(1, FrameCloser::seen);
    EXPECT_EQ((std::vector<std::wstring>{L"General", L"Cells", L"Control size"}), FrameCloser::tabs);
    site.userMode = false;
    FrameCloser::seen = 0;
    EXPECT_EQ(S_OK, Verb(OLEIVERB_PRIMARY));
    EXPECT_LE(1, FrameCloser::seen);
    EXPECT_EQ(nullptr, Window()) << "a designer's primary verb does not activate";
    KillTimer(nullptr, timer);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

struct Hosted : test::HostedGrid {
    bool RepaintPending() const { return GetUpdateRect(control, nullptr, FALSE) != FALSE; }
};

TEST_F(Hosted, RefreshingMembersRaiseViewChangeAndAllowDrawHoldsThemBack)
{
    fw::ComPtr<IFontDisp> font;
    grid->get_FixedFont(font.Put());
    const struct { std::function<HRESULT(ITessera*)> call; size_t repaints; } rows[] = {
        {[](ITessera* g) { return g->Update(); }, 1},
        {[](ITessera* g) { return g->put_Alignment(1); }, 1},
        {[](ITessera* g) { return g->put_Editable(VARIANT_FALSE); }, 0},  // stores only
        {[](ITessera* g) { return g->put_WordWrap(1); }, 1},
        {[](ITessera* g) { return g->put_CType(6); }, 1},
        {[](ITessera* g) { return g->put_Color(0xFF); }, 1},
        {[](ITessera* g) { return g->put_FontColor(0xFF); }, 1},
        {[&](ITessera* g) { return g->putref_Font(font.Get()); }, 1},
        {[&](ITessera* g) { return g->put_Font(font.Get()); }, 1},
        {[](ITessera* g) { return g->put_RowHeight(1, 30); }, 1},
        {[](ITessera* g) { return g->put_ColWidth(1, 30); }, 1},
        {[](ITessera* g) { return g->put_Cols(12); }, 1},
        {[](ITessera* g) { return g->put_Rows(12); }, 1},
        {[](ITessera* g) { return g->put_FixedCols(2); }, 1},
        {[](ITessera* g) { return g->put_FixedRows(2); }, 1},
        {[](ITessera* g) { return g->put_FixedWordWrap(1); }, 1},
        {[](ITessera* g) { return g->put_BorderStyle(2); }, 1},
        {[](ITessera* g) { return g->put_FixedColor(0xFF); }, 1},
        {[&](ITessera* g) { return g->putref_FixedFont(font.Get()); }, 1},
        {[&](ITessera* g) { return g->put_FixedFont(font.Get()); }, 1},
        {[](ITessera* g) { return g->put_DrawSelection(VARIANT_TRUE); }, 1},
        {[](ITessera* g) { return g->put_Heights(fw::Bstr(L"30 30").Get()); }, 2},
        {[](ITessera* g) { return g->InsertRow(3); }, 11},
        {[](ITessera* g) { return g->InsertCol(3); }, 11},
        {[](ITessera* g) { return g->RemoveRow(3); }, 10},
        {[](ITessera* g) { return g->RemoveCol(3); }, 10},
        {[](ITessera* g) { return g->ExchangeCols(3, 4); }, 1},
        // Only the user starts a selection: a corner alone selects nothing.
        {[](ITessera* g) { return g->put_SelectionLeftTopX(3); }, 0},
        {[](ITessera* g) { return g->ClearSelection(); }, 1},  // only repaints
    };
    for (const auto& r : rows) {
        const size_t row = &r - rows;
        sink.Events().clear();
        EXPECT_HRESULT_SUCCEEDED(r.call(grid.Get())) << row;
        EXPECT_EQ(r.repaints, size_t(std::count(sink.Events().begin(), sink.Events().end(), "15()"))) << row;
    }

    sink.Events().clear();
    grid->put_AllowDraw(0);
    grid->put_Widths(fw::Bstr(L"10 20 30 40 50 60 70 80 90 100").Get());
    grid->put_Alignment(2);
    grid->Update();
    EXPECT_TRUE(sink.Events().empty());
    grid->put_AllowDraw(1);
    EXPECT_EQ((Events{"15()"}), sink.Events());
}

TEST_F(Hosted, StepsOfATableChangeEachRaiseViewChange)
{
    grid->put_Cols(5);
    sink.Events().clear();
    // Disabling without a current cell: clearing the selection, then the final repaint.
    grid->put_Enabled(VARIANT_FALSE);
    int n = 0;
    grid->get_CurrentCellRow(&n);
    EXPECT_EQ(-1, n);
    EXPECT_EQ(Events(2, "15()"), sink.Events());

    grid->put_Rows(6);
    sink.Events().clear();
    grid->InsertRow(2);
    // Rows put, an exchange for each row moved, then the final repaint.
    EXPECT_EQ(Events(6, "15()"), sink.Events());
}

// A repaint already pending is not asked for again; one asked for after a
// paint must be.
TEST_F(Hosted, EveryRefreshAfterAPaintAsksForAnother)
{
    UpdateWindow(control);
    EXPECT_FALSE(RepaintPending());
    grid->Update();
    grid->Update();
    EXPECT_TRUE(RepaintPending());
    UpdateWindow(control);
    EXPECT_FALSE(RepaintPending());
    grid->Update();
    EXPECT_TRUE(RepaintPending());
    UpdateWindow(control);
    grid->put_AllowDraw(0);
    grid->Update();
    EXPECT_FALSE(RepaintPending());
}

TEST_F(Hosted, WindowMakesAHiddenDatePickerAndAnswersItsMessages)
{
    const std::vector<HWND> pickers = Children(control, L"SysDateTimePick32");
    ASSERT_EQ(1u, pickers.size());
    HWND picker = pickers[0];
    EXPECT_EQ(static_cast<LONG>(WS_CHILD | WS_BORDER),
              GetWindowLongW(picker, GWL_STYLE) & (WS_CHILD | WS_BORDER | WS_POPUP | WS_VISIBLE));

    // Reflected and unknown messages reach the default procedure; commands
    // and clipboard requests are consumed with 0.
    for (UINT msg : {0x2000u + WM_COMMAND, WM_APP + 77u, UINT(WM_COPY), UINT(WM_PASTE)})
        EXPECT_EQ(0, SendMessageW(control, msg, 0, 0)) << msg;
    EXPECT_EQ(0, SendMessageW(control, WM_COMMAND, MAKEWPARAM(1, BN_CLICKED), 0));

    TearDown();
    EXPECT_FALSE(IsWindow(picker));
    EXPECT_FALSE(IsWindow(control));
}

TEST_F(Hosted, SetFocusGivesTheControlWindowTheKeyboardAndEnabledLeavesTheWindowAlone)
{
    SetForegroundWindow(host.Frame());
    ::SetFocus(host.Frame());
    ASSERT_NE(control, GetFocus());
    EXPECT_EQ(S_OK, grid->SetFocus());
    EXPECT_EQ(control, GetFocus());

    EXPECT_EQ(S_OK, grid->put_Enabled(VARIANT_FALSE));
    VARIANT_BOOL b = -1;
    grid->get_Enabled(&b);
    EXPECT_EQ(0, b);
    EXPECT_TRUE(IsWindowEnabled(control));
    EXPECT_EQ(-1, IntOf(grid.Get(), &ITessera::get_CurrentCellRow));
}

TEST_F(Hosted, DeactivationCommitsAnOpenEditor)
{
    test::Region(grid.Get(), 1, 1);
    grid->put_TypeEx(2);
    // Row positions are counted again after an exchange: the cell moves to 50..90.
    grid->put_Heights(fw::Bstr(L"40 40 10").Get());
    UpdateWindow(control);
    grid->ExchangeRows(1, 2);
    // A click on the cell opens its text box.
    const LPARAM at = MAKELPARAM(50 + 25, 40 + 20);
    SendMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(control, WM_LBUTTONUP, 0, at);
    std::vector<HWND> edits = Children(control, L"Edit");
    ASSERT_FALSE(edits.empty());
    SetWindowTextW(edits[0], L"42");

    fw::ComPtr<IOleInPlaceObject> inPlace;
    ASSERT_EQ(S_OK, host.Control()->QueryInterface(IID_IOleInPlaceObject, inPlace.PutVoid()));
    EXPECT_EQ(S_OK, inPlace->InPlaceDeactivate());
    EXPECT_FALSE(IsWindow(control));
    test::Region(grid.Get(), 2, 1);
    EXPECT_EQ(L"42", control_test::ValueText(grid.Get()));
}

// --- Guards ------------------------------------------------------------------------

TEST(Guards, AGrowThatCannotFitFailsAtOnceAndLeavesTheTable)
{
    auto g = NewGrid();
    // Beyond the cell cap: refused whatever the machine.
    EXPECT_EQ(E_OUTOFMEMORY, g->put_Rows(INT_MAX));
    EXPECT_EQ(E_OUTOFMEMORY, g->put_Cols(2000000000));
    EXPECT_EQ(E_OUTOFMEMORY, g->put_FixedRows(INT_MAX));
    EXPECT_EQ(500, IntOf(g.Get(), &ITessera::get_TotalWidth));
    test::Region(g.Get(), 9, 9);
    EXPECT_EQ(S_OK, g->put_Value(control_test::Int(5)));  // the table is whole
    // 200 million cells, inside the cell cap: tens of gigabytes.
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    GlobalMemoryStatusEx(&status);
    if (CGridTable::GrowCost(10, 10, 20000000, 10) < status.ullAvailPhys)
        GTEST_SKIP() << "this machine could hold the grow";
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(E_OUTOFMEMORY, g->put_Rows(20000000));
    EXPECT_EQ(E_OUTOFMEMORY, g->put_Cols(20000000));
    EXPECT_EQ(E_OUTOFMEMORY, g->put_FixedRows(20000000));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
    EXPECT_EQ(10, IntOf(g.Get(), &ITessera::get_Rows));
    EXPECT_EQ(10, IntOf(g.Get(), &ITessera::get_Cols));
    EXPECT_EQ(1, IntOf(g.Get(), &ITessera::get_FixedRows));

    // A grow that fits still happens.
    EXPECT_EQ(S_OK, g->put_Rows(100000));
    EXPECT_EQ(100000, IntOf(g.Get(), &ITessera::get_Rows));
}

TEST(Guards, RegionPutsFindTheirCellsAgainAfterTheHostsCode)
{
    auto g = NewGrid();
    // The conversion replaces column 1, and with it the cell the put works on.
    test::HostValue object;
    bool resize = true;
    object.onRead = [&] {
        if (resize) g->RemoveCol(1), g->InsertCol(1);
    };
    object.answer.Ref().vt = VT_I4;
    object.answer.Ref().lVal = 42;
    VARIANT v = object.AsVariant();

    test::Region(g.Get(), 1, 1);
    ASSERT_EQ(S_OK, g->put_Value(v));
    EXPECT_EQ(L"42", control_test::ValueText(g.Get())) << "the value went into the cell that is there now";

    // A cell that keeps the object as its value; the type test converts it.
    test::Region(g.Get(), 1, 1);
    g->put_CType(99);
    resize = false;
    ASSERT_EQ(S_OK, g->put_Value(v));
    resize = true;
    ASSERT_EQ(S_OK, g->put_CType(4));
    EXPECT_EQ(4, IntOf(g.Get(), &ITessera::get_CType));
    g.Reset();
    EXPECT_EQ(0u, object.Refs());
}

TEST(Guards, AHostileDateFormatIsKeptButNotShown)
{
    auto g = NewGrid();
    std::wstring hostile;
    while (hostile.size() < 256) hostile += L"d ";
    test::Region(g.Get(), 1, 1);
    g->put_CType(7);
    VARIANT date = {};
    date.vt = VT_DATE, date.date = 36526;
    ASSERT_EQ(S_OK, g->put_Value(date));
    ASSERT_EQ(S_OK, g->put_DTFormat(fw::Bstr(hostile.c_str()).Get()));
    EXPECT_EQ(S_OK, g->AdjustColWidths());
    fw::Bstr kept;
    ASSERT_EQ(S_OK, g->get_DTFormat(kept.Put()));
    EXPECT_EQ(hostile, kept.Get());
}

} // namespace
