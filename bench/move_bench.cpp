// The cost of drawing a move of the current cell: 1,000 arrow moves, each
// shown at once, with drawing on and off, in the control hosted in the
// platform's container and in the platform's list view in report view. What
// drawing adds is the on/off ratio, which for the grid must not exceed the
// list view's.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
constexpr int kCols = 10;
constexpr int kRounds = 5;

// 1,000 moves: 50 down and 50 up, ten times, each shown before the next.
double Moves(HWND hwnd)
{
    test::PumpMessages();
    bench::Stopwatch sw;
    for (int i = 0; i < 1000; ++i) {
        SendMessageW(hwnd, WM_KEYDOWN, (i / 50) % 2 ? VK_UP : VK_DOWN, 0);
        UpdateWindow(hwnd);
    }
    GdiFlush();
    const double ms = sw.Ms();
    test::PumpMessages();
    return ms;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct OnOff {
    double on;
    double off;
};

OnOff GridMoves(int rows)
{
    test::AxHost host(L"Kvadra.Tessera.1", kWidth, kHeight);
    fw::ComPtr<ITessera> grid;
    if (!host.Control() || FAILED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()))) return {0, 0};
    grid->put_Cols(kCols);
    grid->put_Rows(rows);
    HWND hwnd = host.ControlWindow();
    // A click makes cell (1, 1) current.
    int x = 0, y = 0, w = 0, h = 0;
    grid->get_ColWidth(0, &w);
    grid->get_RowHeight(0, &h);
    x = w + 5;
    y = h + 5;
    SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(hwnd, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
    UpdateWindow(hwnd);
    std::vector<double> on, off;
    for (int round = 0; round < kRounds; ++round) {
        grid->put_AllowDraw(1);
        on.push_back(Moves(hwnd));
        grid->put_AllowDraw(0);
        off.push_back(Moves(hwnd));
    }
    grid->put_AllowDraw(1);
    return {Median(on), Median(off)};
}

OnOff ListMoves(int rows)
{
    bench::VirtualList view(rows, kCols, 50, kWidth, kHeight, LVS_SHOWSELALWAYS);
    HWND list = view.List();
    SetFocus(list);
    LVITEMW state = {};
    state.stateMask = state.state = LVIS_FOCUSED | LVIS_SELECTED;
    SendMessageW(list, LVM_SETITEMSTATE, 1, reinterpret_cast<LPARAM>(&state));
    UpdateWindow(list);
    // Under Wine a move in a long list view costs tens of milliseconds:
    // one round of it says enough.
    const int rounds = rows > 1000 ? 1 : kRounds;
    std::vector<double> on, off;
    for (int round = 0; round < rounds; ++round) {
        SendMessageW(list, WM_SETREDRAW, TRUE, 0);
        on.push_back(Moves(list));
        SendMessageW(list, WM_SETREDRAW, FALSE, 0);
        off.push_back(Moves(list));
    }
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    return {Median(on), Median(off)};
}

void Print(const char* what, const OnOff& t)
{
    char line[96];
    std::snprintf(line, sizeof line, "1,000 moves, %s, drawing on", what);
    bench::Report(line, t.on, "ms");
    std::snprintf(line, sizeof line, "1,000 moves, %s, drawing off", what);
    bench::Report(line, t.off, "ms");
    std::snprintf(line, sizeof line, "  ratio on / off, %s", what);
    bench::Report(line, t.off > 0 ? t.on / t.off : 0, "");
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    std::printf("median of %d rounds (one for the long list view), %d x %d pixels\n", kRounds, kWidth, kHeight);
    for (const int rows : {100, 100000}) {
        const OnOff grid = GridMoves(rows);
        const OnOff list = ListMoves(rows);
        char what[48];
        std::snprintf(what, sizeof what, "grid %d x %d", rows, kCols);
        Print(what, grid);
        std::snprintf(what, sizeof what, "list view %d x %d", rows, kCols);
        Print(what, list);
        bench::Report("  grid ratio / list view ratio (goal <= 1)",
                      (grid.off > 0 && list.off > 0 && list.on > 0) ? (grid.on / grid.off) / (list.on / list.off) : 0,
                      "");
    }
    OleUninitialize();
    return 0;
}
