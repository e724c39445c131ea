// Saving and loading a 100,000 x 10 control through a memory stream, with
// every row height stored in the "Heights" text.
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>

#include <cstdio>
#include <string>

#include "bench.h"
#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/dll.h"

namespace {

fw::ComPtr<ITessera> NewGrid()
{
    fw::ComPtr<ITessera> grid;
    test::CreateFromDll(CLSID_Tessera, nullptr, IID_ITessera, grid.PutVoid());
    return grid;
}

fw::ComPtr<IPersistStreamInit> PersistOf(ITessera* g)
{
    fw::ComPtr<IPersistStreamInit> p;
    g->QueryInterface(IID_IPersistStreamInit, p.PutVoid());
    return p;
}

} // namespace

int main()
{
    OleInitialize(nullptr);
    {
        auto a = NewGrid();
        if (!a) {
            std::printf("persist_bench: the control could not be created\n");
            return 1;
        }
        const int rows = 100000;
        a->put_Cols(10);
        a->put_Rows(rows);
        // Distinct heights, so the text holds 100,000 real numbers.
        for (int r = 0; r < rows; ++r) a->put_RowHeight(r, 20 + r % 17);

        fw::ComPtr<IStream> stream;
        CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
        bench::Stopwatch sw;
        HRESULT hr = PersistOf(a.Get())->Save(stream.Get(), TRUE);
        double ms = sw.Ms();
        STATSTG st = {};
        stream->Stat(&st, STATFLAG_NONAME);
        bench::Report("Save 100,000 x 10 to a stream", ms, "ms");
        bench::Report("  bytes written", static_cast<double>(st.cbSize.QuadPart), "");
        if (FAILED(hr)) std::printf("  save failed: 0x%08lx\n", static_cast<unsigned long>(hr));

        auto b = NewGrid();
        LARGE_INTEGER zero = {};
        stream->Seek(zero, STREAM_SEEK_SET, nullptr);
        sw.Restart();
        hr = PersistOf(b.Get())->Load(stream.Get());
        ms = sw.Ms();
        bench::Report("Load 100,000 x 10 from a stream", ms, "ms");
        if (FAILED(hr)) std::printf("  load failed: 0x%08lx\n", static_cast<unsigned long>(hr));

        // What of the load is the table's growth, and what the heights.
        auto c = NewGrid();
        c->put_Cols(10);
        sw.Restart();
        c->put_Rows(rows);
        bench::Report("  of which Rows = 100,000 on 10 columns", sw.Ms(), "ms");
        fw::Bstr heights;
        a->get_Heights(heights.Put());
        sw.Restart();
        c->put_Heights(heights.Get());
        bench::Report("  of which the Heights text", sw.Ms(), "ms");

        fw::Bstr ha, hb;
        a->get_Heights(ha.Put());
        b->get_Heights(hb.Put());
        bool same = ha.Get() && hb.Get() && std::wstring(ha.Get()) == hb.Get();
        std::printf("  heights after the load %s\n", same ? "match" : "DIFFER");
    }
    OleUninitialize();
    return 0;
}
