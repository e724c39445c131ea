// CProxy_ITesseraEvents: the firing side of the control's events. Grid
// indices arrive as 32-bit integers and travel as 16-bit shorts.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "framework/connection_point.h"

class CProxy_ITesseraEvents {
public:
    explicit CProxy_ITesseraEvents(const fw::ConnectionPoint& point) : m_point(point) {}

    // Whether any sink receives the events: a caller without one saves the
    // work of an event's arguments.
    bool EventsHeard() const { return m_point.HasSinks(); }

    void Fire_OnBeforeEdit(short col, short row, BSTR text, VARIANT_BOOL* cancel);
    void Fire_OnValidateEdit(short row, short col, BSTR text, VARIANT_BOOL* cancel);
    void Fire_OnAfterEdit(short row, short col);
    void Fire_OnButtonClick(short row, short col);
    void Fire_OnFixedColClick(short col);
    void Fire_OnFixedRowClick(short row);
    void Fire_OnClick();
    void Fire_OnDblClick();
    void Fire_OnKeyPress(short key);
    void Fire_OnSelectCell(short col, short row);
    void Fire_OnSelectRange();
    void Fire_OnAfterCalendar(VARIANT_BOOL* cancel);
    void Fire_OnEnterCell(short row, short col);
    void Fire_OnLeaveCell(short row, short col);
    void Fire_ViewChange();
    void Fire_OnDragAndDropRow(short row1, short row2);
    void Fire_OnDragAndDropCol(short col1, short col2);

private:
    const fw::ConnectionPoint& m_point;
};
