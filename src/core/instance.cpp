#include "core/instance.h"

#include "core/paths.h"
#include "core/text.h"

namespace jumpnest {

namespace {

// Kernel object names end at 260 characters and class names at 256; a file
// name may be 255 characters long. The name is cut, never split inside a
// UTF-8 sequence, so that both names stay valid.
constexpr size_t kMaxNameBytes = 120;

std::string_view Shortened(std::string_view name) {
    if (name.size() <= kMaxNameBytes) return name;
    size_t end = kMaxNameBytes;
    while (end > 0 && (static_cast<unsigned char>(name[end]) & 0xC0) == 0x80) --end;
    return name.substr(0, end);
}

}  // namespace

std::string InstanceMutexName(std::string_view exeName, std::string_view userSid) {
    std::string name = "Local\\";
    name.append(kAppTitle)
        .append(".")
        .append(AsciiLower(Shortened(exeName)))
        .append(".")
        .append(userSid);
    return name;
}

std::string InstanceWindowClass(std::string_view exeName) {
    std::string name(kAppTitle);
    name.append(":").append(Shortened(exeName));
    return name;
}

}  // namespace jumpnest
