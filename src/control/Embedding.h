// Plain questions of the control's life in a host: unit conversions between
// pixels and HIMETRIC, the trace names of the verbs, and which property
// pages can be shown on this machine.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <vector>

namespace embedding {

// 2540 HIMETRIC to the inch, rounded as MulDiv rounds; -1 for a dpi of 0
// or a result outside the int range.
int HimetricFromPixels(int pixels, int dpi) noexcept;
int PixelsFromHimetric(int himetric, int dpi) noexcept;

// LOGPIXELSX and LOGPIXELSY of the screen (96 when it cannot be read).
SIZE ScreenDpi() noexcept;

// |b - a|, saturated at INT_MAX, for rectangles a host may hand reversed.
int Span(int a, int b) noexcept;

// "OLEIVERB_SHOW" and the like for the eight standard verbs, else null.
const char* VerbName(LONG verb) noexcept;

// The pages this machine can create, in the given order: a frame asked
// for a missing page would show none of the others (Wine's hangs).
std::vector<CLSID> CreatablePages(const CLSID* pages, size_t count);

} // namespace embedding
