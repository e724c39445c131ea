// Arrow-key moves on a small and a large grid; copy and paste of all
// 100,000 x 10 cells next to the platform's own per-cell work (the value to
// text conversion, and SetValue of the text).
#include <windows.h>
#include <ocidl.h>
#include <ole2.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bench.h"
#include "windowed_grid.h"
#include "control/Tessera.h"
#include "framework/com_ptr.h"
#include "framework/module.h"

namespace {

void Pump()
{
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&m);
}

// 1,000 moves: 50 down and 50 up, ten times, each move painted.
double ArrowMoves(int rows)
{
    bench::WindowedGrid w(rows, 10, 800, 600);
    w.grid->SetFocusCell(1, 1);
    UpdateWindow(w.hwnd);
    Pump();
    bench::Stopwatch sw;
    for (int i = 0; i < 1000; ++i) {
        SendMessageW(w.hwnd, WM_KEYDOWN, (i / 50) % 2 ? VK_UP : VK_DOWN, 0);
        UpdateWindow(w.hwnd);
    }
    GdiFlush();
    const double ms = sw.Ms();
    Pump();
    return ms;
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    fw::Module::Init(GetModuleHandleW(nullptr));
    {
        std::vector<double> small, large;
        for (int round = 0; round < 5; ++round) {
            small.push_back(ArrowMoves(100));
            large.push_back(ArrowMoves(100000));
        }
        const double s = Median(small), l = Median(large);
        bench::Report("1,000 arrow moves, 100 x 10 (median of 5)", s, "ms");
        bench::Report("1,000 arrow moves, 100,000 x 10 (median of 5)", l, "ms");
        bench::Report("  ratio large / small (goal <= 1.5)", l / s, "");

        bench::WindowedGrid w(100000, 10, 800, 600);
        for (int row = 0; row < 100000; ++row)
            for (int col = 0; col < 10; ++col) {
                VARIANT v;
                v.vt = VT_R8;
                v.dblVal = row * 10.0 + col + 0.25;
                CCellRef cell = w.grid->GetCell(row, col);
                cell.SetType(4);
                cell.SetValue(v);
            }
        w.grid->Selection().SetSelectedRange(0, 0, 99999, 9);

        bench::Stopwatch sw;
        size_t chars = 0;
        for (int row = 0; row < 100000; ++row)
            for (int col = 0; col < 10; ++col) {
                VARIANT text;
                VariantInit(&text);
                VariantChangeType(&text, const_cast<VARIANT*>(&w.grid->GetCell(row, col).Value()), 0, VT_BSTR);
                chars += SysStringLen(text.bstrVal);
                VariantClear(&text);
            }
        const double convert = sw.Ms();
        sw.Restart();
        w.grid->CopyCells();
        const double copy = sw.Ms();
        bench::Report("VariantChangeType of 1,000,000 values", convert, "ms");
        bench::Report("copy of 100,000 x 10 cells", copy, "ms");
        bench::Report("  ratio copy / conversions (goal <= 3)", copy / convert, "");
        bench::Report("  characters converted", static_cast<double>(chars), "");

        // The same texts stored back, by a plain loop and by paste.
        std::vector<std::wstring> texts;
        texts.reserve(1000000);
        for (int row = 0; row < 100000; ++row)
            for (int col = 0; col < 10; ++col) texts.push_back(std::to_wstring(row * 10 + col) + L".25");
        sw.Restart();
        size_t i = 0;
        for (int row = 0; row < 100000; ++row)
            for (int col = 0; col < 10; ++col) {
                VARIANT v;
                v.vt = VT_BSTR;
                v.bstrVal = SysAllocStringLen(texts[i].data(), static_cast<UINT>(texts[i].size()));
                ++i;
                w.grid->GetCell(row, col).SetValue(v);
                VariantClear(&v);
            }
        const double store = sw.Ms();
        w.grid->SetFocusCell(0, 0);
        sw.Restart();
        w.grid->PasteCells();
        const double paste = sw.Ms();
        bench::Report("SetValue of 1,000,000 texts", store, "ms");
        bench::Report("paste of 100,000 x 10 cells", paste, "ms");
        bench::Report("  ratio paste / SetValue loop (goal <= 3)", paste / store, "");
    }
    OleUninitialize();
    return 0;
}
