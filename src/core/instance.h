// Names that tie the running instance to its executable name and its user.
#pragma once

#include <string>
#include <string_view>

namespace jumpnest {

// One instance per executable name and user. "Local\" keeps the name inside
// the user's session; the SID keeps two users of one session apart (a program
// started with "Run as" another user is a different user's instance).
// File names compare without case on Windows, so the executable name is
// folded to lower case (ASCII letters only; a renamed copy whose name differs
// only in the case of other letters counts as another program).
std::string InstanceMutexName(std::string_view exeName, std::string_view userSid);

// Class of the hidden top-level window titled "kqrJumpnest" that the running
// instance keeps. The executable name in it keeps a renamed copy, which is a
// program of its own with its own data, from answering for this one.
std::string InstanceWindowClass(std::string_view exeName);

}  // namespace jumpnest
