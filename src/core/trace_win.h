// A developer's trace. Silent to the user: it writes only when the variable
// JUMPNEST_TRACE names a file, one UTF-8 line per call. The end-to-end tests
// read it to know what the program did without sleeping on guesses.
#pragma once

#include <string_view>

namespace jumpnest {

void Trace(std::string_view line);

// Whether a trace is being written: lets callers skip gathering what only
// the trace would show.
bool TraceEnabled();

}  // namespace jumpnest
