// Cost of FormatCellText per cell: a screen of 1,000 cells calls it 1,000 times.
#include <windows.h>
#include <ole2.h>

#include <cstdio>

#include "bench.h"
#include "framework/com_ptr.h"
#include "model/ValueFormat.h"

namespace {

double MicrosecondsPerCall(model::CValueFormatter& formatter, VARTYPE vt, int ctype, const wchar_t* num,
                           const wchar_t* dt)
{
    fw::Bstr numFormat(num), dtFormat(dt);
    fw::Variant value;
    V_VT(&value) = VT_R8;
    V_R8(&value) = 36526.5;
    VariantChangeType(&value, &value, 0, vt);

    const int calls = 1000;
    size_t sink = 0;
    LARGE_INTEGER freq, start, stop;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    for (int i = 0; i < calls; ++i)
        sink += formatter.FormatCellText(*value.Ptr(), ctype, numFormat.Get(), dtFormat.Get()).size();
    QueryPerformanceCounter(&stop);
    if (sink == 0) std::printf("(empty text)\n");
    return 1e6 * static_cast<double>(stop.QuadPart - start.QuadPart) / static_cast<double>(freq.QuadPart) / calls;
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    {
        model::CValueFormatter formatter;
        // The first date call makes the picker; keep that out of the figures.
        MicrosecondsPerCall(formatter, VT_DATE, 7, nullptr, L"dd.MM.yyyy");
        bench::Report("number #,##0.00 per cell", MicrosecondsPerCall(formatter, VT_R8, 4, L"#,##0.00", nullptr), "us");
        bench::Report("date dd.MM.yyyy per cell", MicrosecondsPerCall(formatter, VT_DATE, 7, nullptr, L"dd.MM.yyyy HH:mm"),
                      "us");
    }
    OleUninitialize();
    return 0;
}
