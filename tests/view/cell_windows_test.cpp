// Cells that run code while the grid paints: an object value is converted
// through the host's own code, which may drop the very cell being painted.
#include <windows.h>
#include <gtest/gtest.h>

#include "support/grid_helpers.h"
#include "view/windowed_grid.h"

namespace {

TEST(HostReentry, PaintSurvivesAValueThatDropsItsCell)
{
    auto windowed = std::make_unique<view_test::Grid>();
    HWND hwnd = windowed->Window();
    ITessera* grid = windowed->Itf();
    grid->put_Rows(6);
    grid->put_Cols(4);
    test::Region(grid, 2, 2);

    // A type outside the known ones stores the object as it is; a number
    // type set afterwards keeps it, since it converts.
    grid->put_CType(8);
    // Its value is "2.5"; once armed, reading it shrinks the grid.
    test::HostValue object;
    bool armed = false;
    object.onRead = [&] {
        if (armed) armed = false, grid->put_Rows(1);
    };
    object.answer.Ref().vt = VT_BSTR;
    object.answer.Ref().bstrVal = SysAllocString(L"2.5");
    ASSERT_HRESULT_SUCCEEDED(grid->put_Value(object.AsVariant()));
    grid->put_CType(4);
    fw::Bstr pattern(L"0.00");
    grid->put_NUMFormat(pattern.Get());

    armed = true;
    const int reads = object.reads;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    EXPECT_GT(object.reads, reads);
    EXPECT_FALSE(armed);
    int rows = 0;
    grid->get_Rows(&rows);
    EXPECT_EQ(1, rows);
    // The dropped cell let go of the object; nothing else holds it.
    windowed.reset();
    EXPECT_EQ(0u, object.Refs());
}

} // namespace
