// CGenProp: the General page, the grid-wide settings.
#pragma once

#include <windows.h>

#include "framework/object.h"
#include "pages/PageTable.h"

class CGenProp : public fw::ObjectRoot, public pages::CTablePage {
public:
    CGenProp();
    static const fw::InterfaceEntry* Interfaces();
};
