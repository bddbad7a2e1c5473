// The lists a user gives single programs: one file per program beside the
// common entry file, in its format, named so that earlier copies, which read
// only "<exe>.<user>.ini", never mistake one for the common list.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace jumpnest {

// The name a program's list goes by: the file name of `program` (a path or a
// name) with ASCII letters in lower case, every character a file name cannot
// hold as "_", and the dots and blanks Windows would drop from its end taken
// away; "" when nothing is left. Other letters keep their case: the Win32
// side lowers them first, and Windows' file names ignore it anyway.
std::string ProgramKey(std::string_view program);

// The file of `program`'s list: in the data folder, "<exe>.<user>@<program key>.ini"
// ("kqrJumpnest.ada@notepad.exe.ini"); "" when the program has no key.
std::string ProgramListPath(std::string_view dataFolder, std::string_view exeName,
                            std::string_view userName, std::string_view program);

// The program key a file name of the data folder belongs to, when it is one
// of this executable's and this user's program lists; nothing for the common
// list, another user's or another copy's files and anything else.
std::optional<std::string> ProgramOfListFile(std::string_view fileName, std::string_view exeName,
                                             std::string_view userName);

}  // namespace jumpnest
