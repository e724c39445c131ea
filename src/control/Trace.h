// The control's trace file: each line replaces the file's contents.
#pragma once

#include <string>

namespace trace {

// Writes text and a line feed to c:\tmp\log, truncating it first. Nothing
// happens when the file cannot be opened.
void TraceLine(const char* text) noexcept;
inline void TraceLine(const std::string& text) noexcept { TraceLine(text.c_str()); }

// The path of the trace file.
const char* TracePath() noexcept;

} // namespace trace
