// The control in the platform's container, driven by mouse messages at
// points computed from its column widths and row heights, with a sink that
// records its events.
#pragma once

#include <windows.h>
#include <gtest/gtest.h>
#include <ocidl.h>

#include <ostream>
#include <string>
#include <vector>

#include "framework/com_ptr.h"
#include "kvadra.h"
#include "support/ax_host.h"
#include "support/recording_site.h"

namespace mouse_test {

using Events = std::vector<std::string>;
// DISPIDs: 1 OnBeforeEdit, 5 OnFixedColClick, 6 OnFixedRowClick, 7 OnClick,
// 8 OnDblClick, 9 OnKeyPress, 10 OnSelectCell, 11 OnSelectRange,
// 13 OnEnterCell, 14 OnLeaveCell, 15 ViewChange, 16/17 OnDragAndDropRow/Col.

struct Cell {
    int row = -1;
    int col = -1;
    bool operator==(const Cell& o) const { return row == o.row && col == o.col; }
};
inline std::ostream& operator<<(std::ostream& os, const Cell& c) { return os << "(" << c.row << "," << c.col << ")"; }

class MouseHost : public ::testing::Test {
protected:
    void SetUp() override
    {
        control = host.ControlWindow();
        ASSERT_NE(nullptr, control);
        ASSERT_HRESULT_SUCCEEDED(host.Control()->QueryInterface(IID_ITessera, grid.PutVoid()));
        fw::ComPtr<IConnectionPointContainer> cpc;
        ASSERT_HRESULT_SUCCEEDED(grid->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
        ASSERT_HRESULT_SUCCEEDED(point->Advise(&sink, &cookie));
        // Column 0 and row 0 fixed; 30 + 5 x 50 by 8 x 20 pixels.
        Size(6, 8);
        sink.Events().clear();
    }
    void TearDown() override
    {
        ReleaseCapture();
        if (point) point->Unadvise(cookie);
        point.Reset();
        grid.Reset();
        host.Destroy();
    }

    void Size(int cols, int rows)
    {
        grid->put_Cols(cols);
        grid->put_Rows(rows);
        for (int c = 0; c < cols; ++c) grid->put_ColWidth(c, c == 0 ? 30 : 50);
        for (int r = 0; r < rows; ++r) grid->put_RowHeight(r, 20);
    }

    int W(int col) const { int w = 0; grid->get_ColWidth(col, &w); return w; }
    int H(int row) const { int h = 0; grid->get_RowHeight(row, &h); return h; }
    int X(int col) const { int x = 0; for (int c = 0; c < col; ++c) x += W(c); return x; }
    int Y(int row) const { int y = 0; for (int r = 0; r < row; ++r) y += H(r); return y; }
    int CX(int col) const { return X(col) + W(col) / 2; }
    int CY(int row) const { return Y(row) + H(row) / 2; }

    LRESULT Send(UINT msg, int x, int y, WPARAM keys = 0) const
    {
        return SendMessageW(control, msg, keys, MAKELPARAM(x, y));
    }
    void Press(int x, int y, WPARAM keys = 0) const { Send(WM_LBUTTONDOWN, x, y, MK_LBUTTON | keys); }
    void Drag(int x, int y) const { Send(WM_MOUSEMOVE, x, y, MK_LBUTTON); }
    void Hover(int x, int y) const { Send(WM_MOUSEMOVE, x, y); }
    void Release(int x, int y, WPARAM keys = 0) const { Send(WM_LBUTTONUP, x, y, keys); }
    void Click(int x, int y, WPARAM keys = 0) const
    {
        Press(x, y, keys);
        Release(x, y, keys);
    }
    void ClickCell(int row, int col, WPARAM keys = 0) const { Click(CX(col), CY(row), keys); }

    // Events without the repaint requests.
    Events Raised()
    {
        Events out;
        for (const std::string& e : sink.Events())
            if (e != "15()") out.push_back(e);
        return out;
    }
    bool RaisedAny(const std::string& prefix)
    {
        for (const std::string& e : sink.Events())
            if (e.compare(0, prefix.size(), prefix) == 0) return true;
        return false;
    }
    Cell Current() const
    {
        Cell c;
        grid->get_CurrentCellRow(&c.row);
        grid->get_CurrentCellCol(&c.col);
        return c;
    }
    // "minCol,minRow-maxCol,maxRow"
    std::string Corners() const
    {
        int v[4] = {};
        grid->get_SelectionLeftTopX(&v[0]);
        grid->get_SelectionLeftTopY(&v[1]);
        grid->get_SelectionRightBottomX(&v[2]);
        grid->get_SelectionRightBottomY(&v[3]);
        return std::to_string(v[0]) + "," + std::to_string(v[1]) + "-" + std::to_string(v[2]) + "," +
               std::to_string(v[3]);
    }
    // The cell region on one cell, for per-cell properties.
    void Region(int row, int col) const
    {
        grid->put_CRegionLeftTopX(col);
        grid->put_CRegionLeftTopY(row);
        grid->put_CRegionRightBottomX(col);
        grid->put_CRegionRightBottomY(row);
    }
    void SetHint(int row, int col, const wchar_t* text) const
    {
        Region(row, col);
        grid->put_Hint(fw::Bstr(text).Get());
    }

    test::AxHost host{L"Kvadra.Tessera.1"};
    HWND control = nullptr;
    fw::ComPtr<ITessera> grid;
    fw::ComPtr<IConnectionPoint> point;
    test::RecordingEventSink sink{DIID__ITesseraEvents};
    DWORD cookie = 0;
};

} // namespace mouse_test
