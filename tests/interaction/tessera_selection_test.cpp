// The control's selection members and events, on a control made in this
// process so that the selection can be started as user input would, with a
// real sink on the control's connection point.
#include <windows.h>
#include <gtest/gtest.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "control/Tessera.h"
#include "framework/com_ptr.h"

namespace {

// Records every event as "Name(arg,arg)" with the arguments in declared order.
class EventTrace final : public IDispatch {
public:
    std::vector<std::string> events;

    STDMETHOD(QueryInterface)(REFIID iid, void** ppv) override
    {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID__ITesseraEvents)) {
            *ppv = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return ++m_refs; }
    STDMETHOD_(ULONG, Release)() override { return --m_refs; }
    STDMETHOD(GetTypeInfoCount)(UINT* n) override { *n = 0; return S_OK; }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override
    {
        static const char* const names[] = {"", "OnBeforeEdit", "OnValidateEdit", "OnAfterEdit", "OnButtonClick",
            "OnFixedColClick", "OnFixedRowClick", "OnClick", "OnDblClick", "OnKeyPress", "OnSelectCell",
            "OnSelectRange", "OnAfterCalendar", "OnEnterCell", "OnLeaveCell", "ViewChange"};
        std::string text = (id > 0 && id < 16) ? names[id] : std::to_string(id);
        text += "(";
        // Arguments arrive last first.
        for (UINT i = params->cArgs; i-- > 0;) {
            const VARIANT& v = params->rgvarg[i];
            text += (v.vt == VT_I2) ? std::to_string(v.iVal) : "?";
            if (i) text += ",";
        }
        events.push_back(text + ")");
        return S_OK;
    }

private:
    ULONG m_refs = 0;
};

struct Control : ::testing::Test {
    fw::ComPtr<ITessera> itf;
    CTessera* grid = nullptr;
    EventTrace sink;
    fw::ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;

    void SetUp() override
    {
        ASSERT_HRESULT_SUCCEEDED(fw::CreateInstance<CTessera>(nullptr, IID_ITessera, itf.PutVoid()));
        grid = static_cast<CTessera*>(itf.Get());
        fw::ComPtr<IConnectionPointContainer> cpc;
        ASSERT_HRESULT_SUCCEEDED(itf->QueryInterface(IID_IConnectionPointContainer, cpc.PutVoid()));
        ASSERT_HRESULT_SUCCEEDED(cpc->FindConnectionPoint(DIID__ITesseraEvents, point.Put()));
        ASSERT_HRESULT_SUCCEEDED(point->Advise(&sink, &cookie));
    }
    void TearDown() override
    {
        if (point) point->Unadvise(cookie);
    }

    CCellRange Corners()
    {
        CCellRange r;
        itf->get_SelectionLeftTopX(&r.minCol);
        itf->get_SelectionLeftTopY(&r.minRow);
        itf->get_SelectionRightBottomX(&r.maxCol);
        itf->get_SelectionRightBottomY(&r.maxRow);
        return r;
    }
};

void ExpectCorners(const CCellRange& r, int minRow, int minCol, int maxRow, int maxCol)
{
    EXPECT_EQ(minRow, r.minRow);
    EXPECT_EQ(minCol, r.minCol);
    EXPECT_EQ(maxRow, r.maxRow);
    EXPECT_EQ(maxCol, r.maxCol);
}

using TesseraSelection = Control;

TEST_F(TesseraSelection, EventsCarryTheirArgumentsInDeclaredOrder)
{
    grid->SetFocusCell(2, 5);
    grid->SetFocusCell(2, 5);
    grid->SetFocusCell(3, 4);
    EXPECT_EQ((std::vector<std::string>{"OnLeaveCell(-1,-1)", "OnEnterCell(2,5)", "OnLeaveCell(2,5)",
                                        "OnEnterCell(3,4)"}),
              sink.events);
    int n = 0;
    itf->get_CurrentCellRow(&n); EXPECT_EQ(3, n);
    itf->get_CurrentCellCol(&n); EXPECT_EQ(4, n);

    sink.events.clear();
    grid->Selection().SetSelectedRange(2, 2, 3, 4);
    EXPECT_EQ((std::vector<std::string>{"OnSelectCell(2,2)", "OnSelectCell(3,2)", "OnSelectCell(4,2)",
                                        "OnSelectCell(2,3)", "OnSelectCell(3,3)", "OnSelectCell(4,3)"}),
              sink.events);

    // No window: ClearSelection raises nothing at all, and keeps the current cell.
    sink.events.clear();
    EXPECT_HRESULT_SUCCEEDED(itf->ClearSelection());
    EXPECT_TRUE(sink.events.empty());
    ExpectCorners(Corners(), -1, -1, -1, -1);
    EXPECT_EQ(CCellID(3, 4), grid->FocusCell());
}

TEST_F(TesseraSelection, CornerSettersMoveOneCornerOfAnExistingSelection)
{
    itf->put_SelectionLeftTopX(3);
    ExpectCorners(Corners(), -1, -1, -1, -1);

    grid->Selection().SetSelectedRange(2, 1, 4, 3);
    itf->put_SelectionRightBottomX(0);
    ExpectCorners(Corners(), 2, 0, 4, 1);
    itf->put_SelectionLeftTopY(6);  // beyond the other corner: the roles swap
    ExpectCorners(Corners(), 4, 0, 6, 1);
    itf->put_SelectionRightBottomY(10);  // outside the table
    ExpectCorners(Corners(), -1, -1, -1, -1);
}

TEST_F(TesseraSelection, RangeSelectOffHidesTheSelectionAndRefusesNewOnes)
{
    grid->Selection().SetSelectedRange(2, 1, 4, 3);
    itf->put_RangeSelect(VARIANT_FALSE);
    VARIANT_BOOL draw = 1;
    itf->get_DrawSelection(&draw);
    EXPECT_EQ(0, draw);
    ExpectCorners(Corners(), -1, -1, -1, -1);

    sink.events.clear();
    grid->Selection().SetSelectedRange(5, 5, 6, 6);
    itf->put_SelectionLeftTopX(1);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_TRUE(grid->GetCell(2, 1)->m_bSelected);  // left in place
    EXPECT_FALSE(grid->GetCell(5, 5)->m_bSelected);

    itf->put_RangeSelect(VARIANT_TRUE);
    ExpectCorners(Corners(), 2, 1, 4, 3);
}

TEST_F(TesseraSelection, LargeGridSelectsBeyondRow65535AndShrinksCleanly)
{
    itf->put_Rows(70000);
    grid->Selection().SetSelectedRange(65534, 1, 65537, 2);
    ExpectCorners(Corners(), 65534, 1, 65537, 2);
    itf->put_SelectionLeftTopY(0);
    ExpectCorners(Corners(), 0, 1, 65537, 2);
    itf->put_SelectionRightBottomY(1);
    ExpectCorners(Corners(), 0, 1, 1, 2);
    for (int row = 2; row < 70000; ++row)
        ASSERT_FALSE(grid->GetCell(row, 1)->m_bSelected || grid->GetCell(row, 2)->m_bSelected) << row;

    // Shrinking leaves no corner on a cell that is gone.
    grid->Selection().SetSelectedRange(65534, 1, 65537, 2);
    itf->put_Rows(65536);
    ExpectCorners(Corners(), 65534, 1, 65535, 2);
    itf->put_Cols(2);
    ExpectCorners(Corners(), 65534, 1, 65535, 1);
}

TEST_F(TesseraSelection, ExchangesClearTheSelectionOfTheCellsThatMove)
{
    grid->Selection().SetSelectedRange(1, 1, 2, 2);
    grid->SetFocusCell(1, 1);
    sink.events.clear();
    itf->ExchangeCols(2, 5);
    EXPECT_TRUE(sink.events.empty());
    EXPECT_EQ(CCellID(), grid->FocusCell());
    for (int row = 0; row < 10; ++row)
        for (int col = 0; col < 10; ++col)
            EXPECT_FALSE(grid->GetCell(row, col)->m_bSelected) << row << "," << col;
}

} // namespace
