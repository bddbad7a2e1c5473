// Loading and saving the options and the entry list together.
#pragma once

namespace jumpnest {

// Reads the options into the process-wide values and the entry file into
// the configuration window's list (loading that window on first use). With
// no entry file yet, records "AppPath" and shows the window.
void LoadSettings();

// Writes the options and the entry list. False, with the reason as the last
// error, when the entry file could not be written; the previous file is then
// left as it was.
bool SaveSettings();

}  // namespace jumpnest
