// CCellProp: the Cells page, the properties of the cell region's cells.
#pragma once

#include <windows.h>

#include "framework/object.h"
#include "pages/PageTable.h"

class CCellProp : public fw::ObjectRoot, public pages::CTablePage {
public:
    CCellProp();
    static const fw::InterfaceEntry* Interfaces();

    // Whether a control of the page is enabled while the Type list shows
    // type (-1: nothing selected).
    static bool ControlEnabled(int control, int type);
};
