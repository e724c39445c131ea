// Raising an event on every sink of a connection point.
#pragma once

#include <windows.h>
#include <oaidl.h>
#include <initializer_list>

#include "framework/connection_point.h"

namespace fw {

// One event argument, as the caller has it.
struct EventArg {
    enum Kind { Short, Text, CancelFlag } kind;
    SHORT value;
    BSTR text;              // each sink gets its own copy
    VARIANT_BOOL* cancel;   // the caller's flag, passed by reference

    static EventArg Of(SHORT v) { return {Short, v, nullptr, nullptr}; }
    static EventArg Of(BSTR t) { return {Text, 0, t, nullptr}; }
    static EventArg Of(VARIANT_BOOL* c) { return {CancelFlag, 0, nullptr, c}; }
};

// Calls IDispatch::Invoke(id) on the sink of every slot, in slot order, with
// the arguments given in declared order. The slot count is read once, so a
// sink that disconnects itself (or another) during the call leaves a hole
// that is skipped; a failing sink does not stop the others.
void FireEvent(const ConnectionPoint& point, DISPID id, std::initializer_list<EventArg> args);

} // namespace fw
