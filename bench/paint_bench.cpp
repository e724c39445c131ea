// Painting and scrolling against the platform's list view in report view,
// the control a host would otherwise use for a plain table: the same client
// size, row height, column widths and so about 1,000 visible cells of text.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>

#include "bench.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kCols = 20;
constexpr int kColWidth = 96;
constexpr int kRows = 100000;

struct Times {
    double repaint;
    double lines;
    double pages;
};

// One full repaint, averaged; then 100 line steps and 100 page steps down
// from the top, each shown before the next.
Times Measure(HWND hwnd)
{
    Times t = {};
    SendMessageW(hwnd, WM_VSCROLL, SB_TOP, 0);
    UpdateWindow(hwnd);
    test::PumpMessages();
    const int reps = 20;
    bench::Stopwatch sw;
    for (int i = 0; i < reps; ++i) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
    GdiFlush();
    t.repaint = sw.Ms() / reps;
    sw.Restart();
    for (int i = 0; i < 100; ++i) {
        SendMessageW(hwnd, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(hwnd);
    }
    GdiFlush();
    t.lines = sw.Ms();
    sw.Restart();
    for (int i = 0; i < 100; ++i) {
        SendMessageW(hwnd, WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(hwnd);
    }
    GdiFlush();
    t.pages = sw.Ms();
    return t;
}

// The machine's other work makes single runs scatter; each figure is the
// median of several rounds that alternate between the two controls.
constexpr int kRounds = 7;

double Median(double (&v)[kRounds])
{
    std::sort(v, v + kRounds);
    return v[kRounds / 2];
}

Times MedianOf(const Times (&runs)[kRounds])
{
    double repaint[kRounds];
    double lines[kRounds];
    double pages[kRounds];
    for (int i = 0; i < kRounds; ++i) {
        repaint[i] = runs[i].repaint;
        lines[i] = runs[i].lines;
        pages[i] = runs[i].pages;
    }
    return Times{Median(repaint), Median(lines), Median(pages)};
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    bench::VirtualList view(kRows, kCols, kColWidth, kWidth, kHeight);
    HWND frame = view.Frame(), list = view.List();
    RECT item = {LVIR_BOUNDS, 0, 0, 0};
    SendMessageW(list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&item));
    const int rowHeight = item.bottom - item.top > 0 ? item.bottom - item.top : 17;
    RECT header = {};
    GetWindowRect(reinterpret_cast<HWND>(SendMessageW(list, LVM_GETHEADER, 0, 0)), &header);

    // The grid: the same columns and rows, a fixed title row as high as the
    // list's header.
    test::AxHost host(L"Kvadra.Tessera.1", kWidth, kHeight);
    fw::ComPtr<ITessera> grid;
    if (!host.Control() || FAILED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()))) {
        std::printf("paint_bench: the control could not be hosted\n");
        return 1;
    }
    SetWindowPos(host.Frame(), nullptr, 0, 0, kWidth, kHeight, SWP_NOZORDER);
    SetWindowPos(host.Container(), nullptr, 0, 0, kWidth, kHeight, SWP_NOZORDER);
    grid->put_AllowDraw(0);
    grid->put_Cols(kCols);
    grid->put_Rows(kRows);
    grid->put_FixedCols(0);
    for (int col = 0; col < kCols; ++col) grid->put_ColWidth(col, kColWidth);
    grid->put_CRegionLeftTopX(0);
    grid->put_CRegionLeftTopY(0);
    grid->put_CRegionRightBottomX(kCols - 1);
    grid->put_CRegionRightBottomY(kRows - 1);
    VARIANT v;
    v.vt = VT_BSTR;
    v.bstrVal = SysAllocString(L"Cell 12345:12");
    grid->put_Value(v);
    VariantClear(&v);
    for (int row = 0; row < kRows; ++row) grid->put_RowHeight(row, rowHeight);
    if (header.bottom > header.top) grid->put_RowHeight(0, header.bottom - header.top);
    grid->put_AllowDraw(1);

    // Only the measured control is on screen: the other would clip or
    // cover it.
    Times lvRuns[kRounds];
    Times gridRuns[kRounds];
    for (int round = 0; round < kRounds; ++round) {
        ShowWindow(host.Frame(), SW_HIDE);
        ShowWindow(frame, SW_SHOW);
        lvRuns[round] = Measure(list);
        ShowWindow(frame, SW_HIDE);
        ShowWindow(host.Frame(), SW_SHOW);
        gridRuns[round] = Measure(host.ControlWindow());
    }
    const Times lv = MedianOf(lvRuns);
    const Times tg = MedianOf(gridRuns);
    std::printf("median of %d rounds\n", kRounds);

    std::printf("visible cells: about %d (rows of %d px, %d columns)\n", (kHeight / rowHeight) * kCols, rowHeight,
                kCols);
    bench::Report("full repaint, list view", lv.repaint, "ms");
    bench::Report("full repaint, grid", tg.repaint, "ms");
    bench::Report("  ratio grid / list view", tg.repaint / lv.repaint, "");
    bench::Report("100 line steps down, list view", lv.lines, "ms");
    bench::Report("100 line steps down, grid", tg.lines, "ms");
    bench::Report("  ratio grid / list view", tg.lines / lv.lines, "");
    bench::Report("100 page steps down, list view", lv.pages, "ms");
    bench::Report("100 page steps down, grid", tg.pages, "ms");
    bench::Report("  ratio grid / list view", tg.pages / lv.pages, "");
    grid.Reset();
    host.Destroy();
    OleUninitialize();
    return 0;
}
