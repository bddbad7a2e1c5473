#include "store/program_lists.h"

#include "core/paths.h"
#include "core/text.h"

namespace jumpnest {

std::string ProgramKey(std::string_view program) {
    program = program.substr(program.find_last_of("\\/") + 1);
    std::string key;
    for (const char c : program) {
        const bool forbidden = static_cast<unsigned char>(c) < 0x20 ||
                               std::string_view("<>:\"|?*").find(c) != std::string_view::npos;
        key += forbidden ? '_' : AsciiLower(c);
    }
    key.erase(key.find_last_not_of(". ") + 1);
    return key;
}

std::string ProgramListPath(std::string_view dataFolder, std::string_view exeName,
                            std::string_view userName, std::string_view program) {
    const std::string key = ProgramKey(program);
    if (key.empty()) return {};
    return AddBackslash(dataFolder) + std::string(exeName) + "." + std::string(userName) + "@" +
           key + ".ini";
}

std::optional<std::string> ProgramOfListFile(std::string_view fileName, std::string_view exeName,
                                             std::string_view userName) {
    const std::string prefix = std::string(exeName) + "." + std::string(userName) + "@";
    constexpr std::string_view kSuffix = ".ini";
    if (fileName.size() <= prefix.size() + kSuffix.size() ||
        !EqualsIgnoringAsciiCase(fileName.substr(0, prefix.size()), prefix) ||
        !EqualsIgnoringAsciiCase(fileName.substr(fileName.size() - kSuffix.size()), kSuffix)) {
        return std::nullopt;
    }
    const std::string_view key =
        fileName.substr(prefix.size(), fileName.size() - prefix.size() - kSuffix.size());
    // Only a name this program would have made, in any case: a file renamed
    // by hand to something else is no program's list.
    std::string normal = ProgramKey(key);
    if (normal.empty() || !EqualsIgnoringAsciiCase(normal, key)) return std::nullopt;
    return normal;
}

}  // namespace jumpnest
