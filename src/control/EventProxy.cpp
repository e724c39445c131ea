#include "control/EventProxy.h"

#include "framework/events.h"

using fw::EventArg;
using fw::FireEvent;

// DISPIDs of _ITesseraEvents.
enum : DISPID {
    kOnBeforeEdit = 1, kOnValidateEdit, kOnAfterEdit, kOnButtonClick, kOnFixedColClick, kOnFixedRowClick,
    kOnClick, kOnDblClick, kOnKeyPress, kOnSelectCell, kOnSelectRange, kOnAfterCalendar, kOnEnterCell,
    kOnLeaveCell, kViewChange, kOnDragAndDropRow, kOnDragAndDropCol,
};

void CProxy_ITesseraEvents::Fire_OnBeforeEdit(short col, short row, BSTR text, VARIANT_BOOL* cancel)
{
    FireEvent(m_point, kOnBeforeEdit, {EventArg::Of(col), EventArg::Of(row), EventArg::Of(text), EventArg::Of(cancel)});
}

void CProxy_ITesseraEvents::Fire_OnValidateEdit(short row, short col, BSTR text, VARIANT_BOOL* cancel)
{
    FireEvent(m_point, kOnValidateEdit, {EventArg::Of(row), EventArg::Of(col), EventArg::Of(text), EventArg::Of(cancel)});
}

void CProxy_ITesseraEvents::Fire_OnAfterEdit(short row, short col)
{
    FireEvent(m_point, kOnAfterEdit, {EventArg::Of(row), EventArg::Of(col)});
}

void CProxy_ITesseraEvents::Fire_OnButtonClick(short row, short col)
{
    FireEvent(m_point, kOnButtonClick, {EventArg::Of(row), EventArg::Of(col)});
}

void CProxy_ITesseraEvents::Fire_OnFixedColClick(short col) { FireEvent(m_point, kOnFixedColClick, {EventArg::Of(col)}); }
void CProxy_ITesseraEvents::Fire_OnFixedRowClick(short row) { FireEvent(m_point, kOnFixedRowClick, {EventArg::Of(row)}); }
void CProxy_ITesseraEvents::Fire_OnClick() { FireEvent(m_point, kOnClick, {}); }
void CProxy_ITesseraEvents::Fire_OnDblClick() { FireEvent(m_point, kOnDblClick, {}); }
void CProxy_ITesseraEvents::Fire_OnKeyPress(short key) { FireEvent(m_point, kOnKeyPress, {EventArg::Of(key)}); }

void CProxy_ITesseraEvents::Fire_OnSelectCell(short col, short row)
{
    FireEvent(m_point, kOnSelectCell, {EventArg::Of(col), EventArg::Of(row)});
}

void CProxy_ITesseraEvents::Fire_OnSelectRange() { FireEvent(m_point, kOnSelectRange, {}); }
void CProxy_ITesseraEvents::Fire_OnAfterCalendar(VARIANT_BOOL* cancel) { FireEvent(m_point, kOnAfterCalendar, {EventArg::Of(cancel)}); }

void CProxy_ITesseraEvents::Fire_OnEnterCell(short row, short col)
{
    FireEvent(m_point, kOnEnterCell, {EventArg::Of(row), EventArg::Of(col)});
}

void CProxy_ITesseraEvents::Fire_OnLeaveCell(short row, short col)
{
    FireEvent(m_point, kOnLeaveCell, {EventArg::Of(row), EventArg::Of(col)});
}

void CProxy_ITesseraEvents::Fire_ViewChange() { FireEvent(m_point, kViewChange, {}); }

void CProxy_ITesseraEvents::Fire_OnDragAndDropRow(short row1, short row2)
{
    FireEvent(m_point, kOnDragAndDropRow, {EventArg::Of(row1), EventArg::Of(row2)});
}

void CProxy_ITesseraEvents::Fire_OnDragAndDropCol(short col1, short col2)
{
    FireEvent(m_point, kOnDragAndDropCol, {EventArg::Of(col1), EventArg::Of(col2)});
}
