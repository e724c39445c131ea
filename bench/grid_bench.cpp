// The grid table at size: a million cells, a row inserted and removed near
// the top, and single-cell value puts — with the control in place in the
// platform's container and one event sink connected, as a host has it.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <olectl.h>

#include <cstdio>
#include <cwchar>

#include "bench.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"

namespace {

// The platform's list view in report view holding the same table: one item
// per row, one sub-item per column, short texts. Bytes of working set per cell.
double ListViewBytesPerCell(int rows, int cols)
{
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    HWND list = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 800, 600, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
    for (int col = 0; col < cols; ++col) {
        LVCOLUMNW c = {};
        c.mask = LVCF_WIDTH;
        c.cx = 50;
        SendMessageW(list, LVM_INSERTCOLUMNW, col, reinterpret_cast<LPARAM>(&c));
    }
    const SIZE_T before = bench::WorkingSet();
    SendMessageW(list, LVM_SETITEMCOUNT, rows, 0);
    wchar_t text[16];
    for (int row = 0; row < rows; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = row;
        item.pszText = text;
        swprintf(text, 16, L"%d", row % 1000);
        SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
        for (int col = 1; col < cols; ++col) {
            item.iSubItem = col;
            SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
        }
    }
    const SIZE_T after = bench::WorkingSet();
    DestroyWindow(list);
    return static_cast<double>(after - before) / (static_cast<double>(rows) * cols);
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    {
        test::AxHost host(L"Kvadra.Tessera.1", 800, 600);
        fw::ComPtr<IUnknown> control = host.Control();
        fw::ComPtr<ITessera> grid;
        fw::ComPtr<IConnectionPointContainer> cpc;
        fw::ComPtr<IConnectionPoint> point;
        if (!control || FAILED(control->QueryInterface(IID_ITessera, grid.PutVoid())) ||
            FAILED(control->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid())) ||
            FAILED(cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()))) {
            std::printf("grid_bench: the control could not be hosted\n");
            return 1;
        }
        bench::CountingSink sink;
        DWORD cookie = 0;
        point->Advise(&sink, &cookie);

        const int rows = 100000, cols = 10;
        grid->put_Cols(cols);
        SIZE_T before = bench::WorkingSet();
        bench::Stopwatch sw;
        grid->put_Rows(rows);
        double ms = sw.Ms();
        SIZE_T after = bench::WorkingSet();
        bench::Report("Rows = 100,000 on 10 columns", ms, "ms");
        bench::Report("memory per cell (working set)",
                      static_cast<double>(after - before) / (static_cast<double>(rows) * cols), "bytes");

        long events = sink.count;
        sw.Restart();
        grid->InsertRow(1);
        bench::Report("InsertRow(1)", sw.Ms(), "ms");
        std::printf("%-48s %12ld\n", "  events raised by it", sink.count - events);
        events = sink.count;
        sw.Restart();
        grid->RemoveRow(1);
        bench::Report("RemoveRow(1)", sw.Ms(), "ms");
        std::printf("%-48s %12ld\n", "  events raised by it", sink.count - events);

        sw.Restart();
        for (int i = 0; i < 1000; ++i) {
            int row = 1 + (i * 97) % (rows - 1), col = 1 + i % (cols - 1);
            grid->put_CRegionLeftTopX(col);
            grid->put_CRegionRightBottomX(col);
            grid->put_CRegionLeftTopY(row);
            grid->put_CRegionRightBottomY(row);
            VARIANT v;
            VariantInit(&v);
            V_VT(&v) = VT_I4;
            V_I4(&v) = i;
            grid->put_Value(v);
        }
        bench::Report("1,000 Value puts on single cells", sw.Ms(), "ms");

        // One button cell: each repaint and scroll step places the buttons,
        // which must not cost a visit to every cell.
        grid->put_CRegionLeftTopX(5);
        grid->put_CRegionRightBottomX(5);
        grid->put_CRegionLeftTopY(5);
        grid->put_CRegionRightBottomY(5);
        grid->put_TypeEx(8);
        HWND hwnd = host.ControlWindow();
        sw.Restart();
        for (int i = 0; i < 100; ++i) {
            SendMessageW(hwnd, WM_VSCROLL, SB_LINEDOWN, 0);
            UpdateWindow(hwnd);
        }
        bench::Report("100 line steps with one button cell", sw.Ms(), "ms");

        point->Unadvise(cookie);
    }
    {
        // Ten million cells, as a 32-bit host would ask for them.
        test::AxHost host(L"Kvadra.Tessera.1", 800, 600);
        fw::ComPtr<ITessera> grid;
        if (host.Control() && SUCCEEDED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()))) {
            grid->put_Cols(10);
            bench::Stopwatch sw;
            grid->put_Rows(1000000);
            bench::Report("Rows = 1,000,000 on 10 columns", sw.Ms(), "ms");
            bench::Report("  working set after it", static_cast<double>(bench::WorkingSet()) / 1e6, "MB");
            sw.Restart();
            grid->InsertRow(1);
            bench::Report("  InsertRow(1) on it", sw.Ms(), "ms");
        }
    }
    bench::Report("memory per cell, list view (reference)", ListViewBytesPerCell(100000, 10), "bytes");
    OleUninitialize();
    return 0;
}
