// Opening and committing an in-place editor 1,000 times on a small grid and
// on a 100,000 x 10 grid with 1,000 push-button cells: the cost must not grow
// with the grid.
#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "bench.h"
#include "windowed_grid.h"
#include "control/Tessera.h"
#include "framework/com_ptr.h"
#include "framework/module.h"
#include "support/ax_host.h"

namespace {

double Measure(int rows, int buttonCells)
{
    fw::ComPtr<ITessera> itf;
    if (FAILED(fw::CreateInstance<bench::CWindowedTessera>(nullptr, IID_ITessera, itf.PutVoid()))) return -1;
    auto* grid = static_cast<bench::CWindowedTessera*>(static_cast<CTessera*>(itf.Get()));
    HWND frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 800, 600, nullptr,
                                 nullptr, nullptr, nullptr);
    grid->Open(frame, RECT{0, 0, 800, 600});
    itf->put_Rows(rows);
    itf->put_Cols(10);
    // Button cells spread over the table, a few of them on screen.
    for (int i = 0; i < buttonCells; ++i) {
        const int row = 1 + static_cast<int>((static_cast<long long>(i) * (rows - 1)) / buttonCells);
        itf->put_CRegionLeftTopX(5);
        itf->put_CRegionRightBottomX(5);
        itf->put_CRegionLeftTopY(row);
        itf->put_CRegionRightBottomY(row);
        itf->put_TypeEx(8);
    }
    itf->put_CRegionLeftTopX(2);
    itf->put_CRegionRightBottomX(2);
    itf->put_CRegionLeftTopY(2);
    itf->put_CRegionRightBottomY(2);
    itf->put_TypeEx(2);
    grid->SetFocusCell(2, 2);
    test::PumpMessages();

    bench::Stopwatch watch;
    for (int i = 0; i < 1000; ++i) {
        itf->ShowEdit();
        itf->HideEdit();
    }
    const double ms = watch.Ms();
    itf.Reset();
    DestroyWindow(frame);
    test::PumpMessages();
    return ms;
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    fw::Module::Init(GetModuleHandleW(nullptr));
    const double small = Measure(100, 0);
    const double large = Measure(100000, 1000);
    bench::Report("1,000 ShowEdit + HideEdit, 100 x 10", small, "ms");
    bench::Report("1,000 ShowEdit + HideEdit, 100,000 x 10 with 1,000 button cells", large, "ms");
    bench::Report("  ratio", small > 0 ? large / small : 0, "");
    OleUninitialize();
    return 0;
}
