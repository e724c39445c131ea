// A control with its own window in a plain pop-up frame, and a counting sink
// connected to its events: the set-up of the benchmarks that drive the
// window with messages.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <memory>

#include "bench.h"
#include "control/Tessera.h"
#include "framework/com_ptr.h"

namespace bench {

class CWindowedTessera : public CTessera {
public:
    HWND Open(HWND parent, const RECT& rc) { return CreateControlWindow(parent, rc); }
};

struct WindowedGrid {
    fw::ComPtr<ITessera> itf;
    CWindowedTessera* grid = nullptr;
    HWND frame = nullptr;
    HWND hwnd = nullptr;
    CountingSink sink;
    std::unique_ptr<Connection> connection;

    WindowedGrid(int rows, int cols, int width, int height)
    {
        fw::CreateInstance<CWindowedTessera>(nullptr, IID_ITessera, itf.PutVoid());
        grid = static_cast<CWindowedTessera*>(static_cast<CTessera*>(itf.Get()));
        itf->put_Cols(cols);
        itf->put_Rows(rows);
        frame = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, width, height,
                                nullptr, nullptr, nullptr, nullptr);
        hwnd = grid->Open(frame, RECT{0, 0, width, height});
        ShowWindow(hwnd, SW_SHOW);
        connection = std::make_unique<Connection>(itf.Get(), &sink);
    }
    ~WindowedGrid()
    {
        connection.reset();
        itf.Reset();
        DestroyWindow(frame);
    }
    WindowedGrid(const WindowedGrid&) = delete;
    WindowedGrid& operator=(const WindowedGrid&) = delete;
};

} // namespace bench
