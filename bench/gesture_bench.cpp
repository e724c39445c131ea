// Whole-grid gestures on 100,000 x 10 cells in the platform's container
// window, 640 x 480, with no event sink: each against growing the table by
// the same cells (Rows = 100,000 on 10 columns) in the same run. A gesture
// counts until its repaint is on the screen. Then select-all with a counting
// sink, against the sink's own calls.
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <cstdio>

#include "bench.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"

namespace {

constexpr int kRows = 100000;

struct Sweep {
    HWND hwnd;
    double growth = 0;

    template <class Gesture>
    double Time(Gesture gesture) const
    {
        test::PumpMessages();
        bench::Stopwatch sw;
        gesture();
        UpdateWindow(hwnd);
        GdiFlush();
        return sw.Ms();
    }
    template <class Gesture>
    void Report(const char* what, Gesture gesture) const
    {
        const double ms = Time(gesture);
        std::printf("%s %-48s %12.3f ms %8.2f x growth\n", bench::kArch, what, ms, growth > 0 ? ms / growth : 0.0);
    }
    void Click(int x, int y, WPARAM keys = 0) const
    {
        SendMessageW(hwnd, WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
        SendMessageW(hwnd, WM_LBUTTONUP, keys, MAKELPARAM(x, y));
    }
    void Key(UINT vk) const { SendMessageW(hwnd, WM_KEYDOWN, vk, 0); }
    void SelectAll() const
    {
        test::Held ctrl{VK_CONTROL};
        Key('A');
    }
};

} // namespace

int main()
{
    OleInitialize(nullptr);
    {
        test::AxHost host(L"Kvadra.Tessera.1", 640, 480);
        fw::ComPtr<ITessera> grid;
        if (!host.Control() || FAILED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()))) {
            std::printf("%s the control is not registered\n", bench::kArch);
            return 1;
        }
        grid->put_Cols(10);
        Sweep s{host.ControlWindow()};
        s.growth = s.Time([&] { grid->put_Rows(kRows); });
        bench::Report("Rows = 100,000 on 10 columns (the growth)", s.growth, "ms");

        // Default sizes: columns 50 wide, rows 40 high, one fixed of each.
        s.Report("click on the fixed corner (select all)", [&] { s.Click(25, 20); });
        s.Report("then a click on a cell", [&] { s.Click(125, 100); });
        s.Report("click on a column header (100,000 cells)", [&] { s.Click(175, 20); });
        s.Report("Shift+click on a header 5 columns on", [&] { s.Click(425, 20, MK_SHIFT); });
        SetScrollPos(s.hwnd, SB_VERT, kRows * 40 / 2, TRUE);
        InvalidateRect(s.hwnd, nullptr, TRUE);
        UpdateWindow(s.hwnd);
        s.Report("Ctrl+A with the view halfway down", [&] { s.SelectAll(); });
        s.Report("Delete with everything selected", [&] { s.Key(VK_DELETE); });
        s.Click(125, 100);
        s.Report("End (the last row)", [&] { s.Key(VK_END); });
        s.Report("Home (the first row)", [&] { s.Key(VK_HOME); });
        s.Report("a divider drag", [&] {
            SendMessageW(s.hwnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(99, 20));
            SendMessageW(s.hwnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(130, 20));
            SendMessageW(s.hwnd, WM_LBUTTONUP, 0, MAKELPARAM(130, 20));
        });
        s.Report("ExchangeRows(1, 99999)", [&] { grid->ExchangeRows(1, kRows - 1); });
        s.Report("AdjustColWidth(3)", [&] { grid->AdjustColWidth(3); });
        s.Report("AdjustColWidths", [&] { grid->AdjustColWidths(); });
        s.Report("AdjustRowHeights", [&] { grid->AdjustRowHeights(); });
        s.SelectAll();
        s.Report("Rows = 10 with everything selected, after fits", [&] { grid->put_Rows(10); });

        // With a sink: one event per newly selected cell, each costing what
        // the sink's own call costs.
        grid->put_Rows(kRows);
        bench::CountingSink sink;
        bench::Connection connection(grid.Get(), &sink);
        // The fits left every empty column and row 3 pixels.
        grid->put_ColWidth(0, 50);
        grid->put_RowHeight(0, 40);
        s.Report("select all with a counting sink", [&] { s.Click(25, 20); });
        const long events = sink.count;
        VARIANTARG args[2] = {};
        args[0].vt = args[1].vt = VT_I2;
        DISPPARAMS params = {args, nullptr, 2, 0};
        IDispatch* volatile target = &sink;  // called as the control calls it, not inlined
        bench::Stopwatch sw;
        for (long i = 0; i < events; ++i)
            target->Invoke(10, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
        const double own = sw.Ms();
        bench::Report("  events raised", static_cast<double>(events), "");
        bench::Report("  the sink's own calls, as many", own, "ms");
    }
    OleUninitialize();
    return 0;
}
