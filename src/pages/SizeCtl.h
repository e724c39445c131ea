// CSizeCtl: property page class of the control.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include "framework/object.h"

class CSizeCtl : public fw::ObjectRoot, public IUnknown {
public:
    static const fw::InterfaceEntry* Interfaces();
};
