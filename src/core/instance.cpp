#include "core/instance.h"

#include "core/paths.h"

namespace jumpnest {

namespace {

std::string AsciiLower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
}

}  // namespace

std::string InstanceMutexName(std::string_view exeName, std::string_view userSid) {
    std::string name = "Local\\";
    name.append(kAppTitle).append(".").append(AsciiLower(exeName)).append(".").append(userSid);
    return name;
}

std::string InstanceWindowClass(std::string_view exeName) {
    std::string name(kAppTitle);
    name.append(":").append(exeName);
    return name;
}

}  // namespace jumpnest
