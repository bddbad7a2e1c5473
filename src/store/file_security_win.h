// Who may write the entry file, and whose file it is. The data folder is
// shared by every user of the machine, so another user could put a list
// there before a user's first start and so choose what that user's launcher
// starts. The entry file is therefore created for its user alone, and a file
// owned by another ordinary user is never used.
#pragma once

#include <windows.h>

#include "core/handle_win.h"

namespace jumpnest {

// The reason given when the entry file belongs to another user: an
// application-defined error code (bit 29 set), so that it never collides
// with a system one.
inline constexpr DWORD kErrorFileOfAnotherUser = 0x20000000u | 0x4A01u;

// Security for a new file that only its user, SYSTEM and the Administrators
// may open, inheriting nothing from the shared folder.
class PrivateFileSecurity {
public:
    PrivateFileSecurity();
    PrivateFileSecurity(const PrivateFileSecurity&) = delete;
    PrivateFileSecurity& operator=(const PrivateFileSecurity&) = delete;

    // For CreateFileW; nullptr when the descriptor could not be built.
    SECURITY_ATTRIBUTES* attributes() { return descriptor_ ? &attributes_ : nullptr; }

private:
    UniqueLocal descriptor_;
    SECURITY_ATTRIBUTES attributes_{};
};

// Whether a file owned by `owner` may be trusted: this user, SYSTEM, the
// Administrators group, TrustedInstaller, or an account that belongs to the
// Administrators (who could change the file anyway).
bool IsTrustedOwner(PSID owner);

// Whether the open file (opened with at least READ_CONTROL) is owned by a
// trusted owner. False, with the last error set, when it is not or the owner
// cannot be read: a file whose owner is unknown is not trusted either. A file
// system that records no owner at all passes.
bool HasTrustedOwner(HANDLE file);

}  // namespace jumpnest
