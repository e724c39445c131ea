// CSizeCtl: the Control Size page, the control's width and height in pixels.
#pragma once

#include <windows.h>

#include "framework/object.h"
#include "pages/PageTable.h"

class CSizeCtl : public fw::ObjectRoot, public pages::CTablePage {
public:
    CSizeCtl();
    static const fw::InterfaceEntry* Interfaces();

    // Opens the page's help file "ctlsize" in the frame's help folder.
    STDMETHOD(Help)(LPCOLESTR helpDir) override;
};
