// The sizes the control chooses itself, in device pixels for one DPI. They
// are what the control has always used at 96 DPI and grow with the screen's
// DPI; what a host sets (column widths, row heights, the control's size)
// stays in device pixels and is never scaled.
#pragma once

#include <windows.h>

namespace view {

constexpr int kBaseDpi = 96;

struct Metrics {
    int rowHeight = 40;          // given to new rows
    int colWidth = 50;           // given to new columns
    int cellButton = 20;         // a button cell's square
    int edgeTolerance = 3;       // divider grip, either side of the divider
    int fitMargin = 3;           // added to the largest text when fitting
    // In-place editors.
    int listMinHeight = 60;      // a cell lower than this gets a list this high
    int choiceListHeight = 160;  // ... or, for a choice list, this high
    int buttonSpace = 24;        // taken off the editor for its push button
    int editorMinWidth = 80;
    int dropDownMinWidth = 100;  // the drop-down date picker's
    int dropDownHeight = 24;
    int buttonSize = 20;         // push button beside text and list editors
    int buttonGap = 5;
    int wideButtonSize = 23;     // ... beside Boolean and date editors
    int wideButtonGap = 2;
};

// size * dpi / 96, rounded; a DPI of 0 or less counts as 96.
int Scale(int size, int dpi) noexcept;
Metrics MetricsAt(int dpi) noexcept;

// The DPI a window is shown at: GetDpiForWindow where the platform has it,
// else the screen's. A null window gives the screen's.
int WindowDpi(HWND hwnd) noexcept;

} // namespace view
