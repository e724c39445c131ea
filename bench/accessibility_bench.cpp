// What accessibility clients pay per call: 10,000 get_accName, get_accState
// and accLocation calls on cells spread over a grid of 1,000,000 cells and
// over one of 100, and the ratio of the two, which should stay near 1.
#include <windows.h>
#include <oleacc.h>
#include <ole2.h>

#include <algorithm>

#include "bench.h"
#include "framework/com_ptr.h"
#include "windowed_grid.h"

namespace {

// The best of three rounds, in milliseconds.
double Calls(int rows, int cols)
{
    bench::WindowedGrid g(rows, cols, 400, 300);
    fw::ComPtr<IAccessible> acc;
    if (FAILED(AccessibleObjectFromWindow(g.hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, acc.PutVoid())))
        return -1;
    const long count = static_cast<long>(rows) * cols;
    double best = 1e300;
    for (int round = 0; round < 3; ++round) {
        bench::Stopwatch watch;
        for (long i = 0; i < 10000; ++i) {
            VARIANT child;
            child.vt = VT_I4;
            child.lVal = 1 + (i * 7919) % count;
            BSTR name = nullptr;
            acc->get_accName(child, &name);
            SysFreeString(name);
            VARIANT state;
            VariantInit(&state);
            acc->get_accState(child, &state);
            long x, y, w, h;
            acc->accLocation(&x, &y, &w, &h, child);
        }
        best = std::min(best, watch.Ms());
    }
    return best;
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    // The process's first grid pays for the platform's own first calls.
    Calls(10, 10);
    const double small = Calls(10, 10);
    const double large = Calls(1000, 1000);
    bench::Report("10,000 x (name, state, location), 100 cells", small, "ms");
    bench::Report("10,000 x (name, state, location), 1,000,000 cells", large, "ms");
    bench::Report("  ratio 1,000,000 / 100 cells (at most 1.5)", large / small, "");
    OleUninitialize();
    return 0;
}
