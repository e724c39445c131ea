// Painting and scrolling beside the platform's list view in report mode,
// each showing about 1,000 cells of text in the same client area.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <cstdio>
#include <string>

#include "bench.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"

namespace {

constexpr int kWidth = 1900, kHeight = 1000, kCols = 20, kColWidth = 95, kRows = 100000;

// The list view is virtual, so 100,000 rows cost nothing to fill.
LRESULT CALLBACK FrameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp)
{
    if (msg == WM_NOTIFY) {
        auto* info = reinterpret_cast<NMLVDISPINFOA*>(lp);
        if (info->hdr.code == LVN_GETDISPINFOA && (info->item.mask & LVIF_TEXT)) {
            std::snprintf(info->item.pszText, static_cast<size_t>(info->item.cchTextMax), "r%dc%d", info->item.iItem,
                          info->item.iSubItem);
            return 0;
        }
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

HWND MakeListView()
{
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "KvadraBenchFrame";
    RegisterClassA(&wc);
    HWND frame = CreateWindowA("KvadraBenchFrame", "list view", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, kWidth + 40,
                               kHeight + 60, nullptr, nullptr, wc.hInstance, nullptr);
    HWND lv = CreateWindowA(WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDATA, 10, 10, kWidth,
                            kHeight, frame, nullptr, wc.hInstance, nullptr);
    for (int c = 0; c < kCols; ++c) {
        LVCOLUMNA col = {};
        col.mask = LVCF_WIDTH | LVCF_TEXT;
        col.cx = kColWidth;
        char title[16];
        std::snprintf(title, sizeof(title), "C%d", c);
        col.pszText = title;
        SendMessageA(lv, LVM_INSERTCOLUMNA, c, reinterpret_cast<LPARAM>(&col));
    }
    SendMessageA(lv, LVM_SETITEMCOUNT, kRows, 0);
    return lv;
}

struct Times {
    double repaint, lines, pages;
};

Times Measure(HWND hwnd)
{
    Times t = {};
    UpdateWindow(hwnd);
    bench::Stopwatch sw;
    for (int i = 0; i < 10; ++i) {
        InvalidateRect(hwnd, nullptr, TRUE);
        UpdateWindow(hwnd);
    }
    t.repaint = sw.Ms() / 10;
    sw.Restart();
    for (int i = 0; i < 100; ++i) {
        SendMessageA(hwnd, WM_VSCROLL, SB_LINEDOWN, 0);
        UpdateWindow(hwnd);
    }
    t.lines = sw.Ms();
    sw.Restart();
    for (int i = 0; i < 100; ++i) {
        SendMessageA(hwnd, WM_VSCROLL, SB_PAGEDOWN, 0);
        UpdateWindow(hwnd);
    }
    t.pages = sw.Ms();
    return t;
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    {
        test::AxHost host(L"Kvadra.Tessera.1", kWidth, kHeight);
        fw::ComPtr<ITessera> grid;
        if (!host.Control() || FAILED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()))) {
            std::printf("view_bench: the control could not be hosted\n");
            return 1;
        }
        grid->put_AllowDraw(0);
        grid->put_Cols(kCols);
        grid->put_Rows(kRows);
        for (int c = 0; c < kCols; ++c) grid->put_ColWidth(c, kColWidth);
        // Text in every cell a page of scrolling can show.
        for (int c = 0; c < kCols; ++c) {
            for (int r = 0; r < 300; ++r) {
                grid->put_CRegionLeftTopX(c);
                grid->put_CRegionRightBottomX(c);
                grid->put_CRegionLeftTopY(r);
                grid->put_CRegionRightBottomY(r);
                VARIANT v;
                VariantInit(&v);
                V_VT(&v) = VT_BSTR;
                V_BSTR(&v) = SysAllocString((L"r" + std::to_wstring(r) + L"c" + std::to_wstring(c)).c_str());
                grid->put_Value(v);
                VariantClear(&v);
            }
        }
        grid->put_AllowDraw(1);
        test::PumpMessages();

        HWND gridWindow = host.ControlWindow();
        HWND lv = MakeListView();
        test::PumpMessages();
        Times g = Measure(gridWindow);
        Times l = Measure(lv);

        std::printf("%-34s %12s %12s %8s\n", "", "grid ms", "list ms", "ratio");
        std::printf("%-34s %12.2f %12.2f %8.2f\n", "full repaint (WM_PAINT)", g.repaint, l.repaint, g.repaint / l.repaint);
        std::printf("%-34s %12.2f %12.2f %8.2f\n", "100 line scrolls down", g.lines, l.lines, g.lines / l.lines);
        std::printf("%-34s %12.2f %12.2f %8.2f\n", "100 page scrolls, 100,000 rows", g.pages, l.pages, g.pages / l.pages);
        DestroyWindow(GetParent(lv));
    }
    OleUninitialize();
    return 0;
}
