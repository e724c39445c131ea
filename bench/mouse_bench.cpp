// Mouse gestures on large grids, driven by window messages: dropping the
// last row of a 100,000 x 10 grid onto row 1, and 1,000 moves over cells
// with hints on a 100-cell and a 1,000,000-cell grid.
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include "bench.h"
#include "windowed_grid.h"
#include "control/Tessera.h"
#include "framework/com_ptr.h"
#include "framework/module.h"

namespace {

struct Grid : bench::WindowedGrid {
    Grid(int rows, int cols) : WindowedGrid(rows, cols, 400, 300) {}
    void Send(UINT msg, POINT pt, WPARAM keys) { SendMessageW(hwnd, msg, keys, MAKELPARAM(pt.x, pt.y)); }
    POINT Centre(int row, int col)
    {
        RECT rc = {};
        grid->CellBox(row, col, rc);
        return POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
    }
};

void DropLastRowOntoRowOne()
{
    Grid g(100000, 10);
    SendMessageW(g.hwnd, WM_VSCROLL, SB_BOTTOM, 0);
    ::SetFocus(g.hwnd);
    g.Send(WM_LBUTTONDOWN, g.Centre(99999, 0), MK_LBUTTON);
    SendMessageW(g.hwnd, WM_VSCROLL, SB_TOP, 0);
    const POINT target = g.Centre(1, 0);
    g.Send(WM_MOUSEMOVE, target, MK_LBUTTON);
    g.sink.count = 0;
    bench::Stopwatch watch;
    g.Send(WM_LBUTTONUP, target, 0);
    bench::Report("drop row 99,999 onto row 1 of 100,000 x 10", watch.Ms(), "ms");
    bench::Report("  events raised (ViewChange per row passed, drop)", static_cast<double>(g.sink.count), "");

    // The neighbour exchanges the drop stands for, over 10,000 rows, for scale.
    watch.Restart();
    for (int r = 10001; r > 1; --r) g.itf->ExchangeRows(r, r - 1);
    bench::Report("  reference: 10,000 neighbour row exchanges", watch.Ms(), "ms");
}

void HoverHintedCells(int rows, int cols, const char* what)
{
    Grid g(rows, cols);
    // Hints on the cells the pointer visits.
    g.itf->put_CRegionLeftTopX(0);
    g.itf->put_CRegionLeftTopY(0);
    g.itf->put_CRegionRightBottomX(4);
    g.itf->put_CRegionRightBottomY(4);
    g.itf->put_Hint(fw::Bstr(L"a hint").Get());
    POINT points[25];
    for (int i = 0; i < 25; ++i) points[i] = g.Centre(i / 5, i % 5);
    bench::Stopwatch watch;
    for (int i = 0; i < 1000; ++i) g.Send(WM_MOUSEMOVE, points[(i * 7) % 25], 0);
    // Milliseconds for 1,000 moves are microseconds for one.
    bench::Report(what, watch.Ms(), "us per move");
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    fw::Module::Init(GetModuleHandleW(nullptr));
    DropLastRowOntoRowOne();
    HoverHintedCells(10, 10, "1,000 hinted moves, 10 x 10 grid");
    HoverHintedCells(100000, 10, "1,000 hinted moves, 100,000 x 10 grid");
    OleUninitialize();
    return 0;
}
