// Selecting every cell of a 100,000 x 10 grid with a sink connected, then
// moving the current cell 1,000 times.
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <cstdio>

#include "bench.h"
#include "control/Tessera.h"
#include "framework/com_ptr.h"


int main()
{
    OleInitialize(nullptr);
    {
        fw::ComPtr<ITessera> itf;
        if (FAILED(fw::CreateInstance<CTessera>(nullptr, IID_ITessera, itf.PutVoid()))) return 1;
        CTessera* grid = static_cast<CTessera*>(itf.Get());
        itf->put_Rows(100000);
        itf->put_Cols(10);

        bench::CountingSink sink;
        bench::Connection connection(itf.Get(), &sink);

        const SIZE_T before = bench::WorkingSet();
        bench::Stopwatch watch;
        grid->Selection().SelectAllCells();
        bench::Report("select all of 100,000 x 10 (OnSelectCell each)", watch.Ms(), "ms");
        bench::Report("  events raised", static_cast<double>(sink.count), "");
        bench::Report("  working set grown by", static_cast<double>(bench::WorkingSet() - before) / 1048576.0,
                      "MB");

        watch.Restart();
        int corner = 0;
        itf->get_SelectionRightBottomY(&corner);
        bench::Report("  SelectionRightBottomY read", watch.Ms(), "ms");

        grid->SetFocusCell(1, 1);
        watch.Restart();
        for (int i = 0; i < 1000; ++i) grid->SetFocusCell(1 + (i * 97) % 99998, 1 + i % 9);
        bench::Report("move the current cell 1,000 times", watch.Ms(), "ms");

        watch.Restart();
        itf->ClearSelection();
        bench::Report("ClearSelection of 900,000 cells", watch.Ms(), "ms");

    }
    OleUninitialize();
    return 0;
}
