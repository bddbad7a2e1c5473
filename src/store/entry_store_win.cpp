#include "store/entry_store_win.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string_view>

#include "core/encoding_win.h"
#include "core/environment_win.h"
#include "core/handle_win.h"
#include "core/paths.h"
#include "core/trace_win.h"
#include "store/file_security_win.h"
#include "store/portable_win.h"

namespace jumpnest {

namespace {

// A list of a few hundred entries is some kilobytes; a file far beyond that
// is not ours, and reading it whole would only eat memory.
constexpr size_t kMaxEntryFileBytes = 16u * 1024 * 1024;
constexpr DWORD kChunkBytes = 64 * 1024;

void TraceFailure(std::string_view what) {
    Trace("entry file: " + std::string(what) + " failed, error " +
          std::to_string(::GetLastError()));
}

std::optional<std::string> ReadAll(HANDLE file) {
    std::string bytes;
    for (;;) {
        const size_t used = bytes.size();
        if (used > kMaxEntryFileBytes) return std::nullopt;
        bytes.resize(used + kChunkBytes);
        DWORD read = 0;
        if (!::ReadFile(file, bytes.data() + used, kChunkBytes, &read, nullptr)) {
            return std::nullopt;
        }
        bytes.resize(used + read);
        if (read == 0) return bytes;
    }
}

// What the file can carry: a TAB ends the caption and a line break ends the
// entry, so these would come back as something else.
bool Storable(const MenuEntry& entry) {
    return entry.caption.find_first_of("\t\r\n") == std::string::npos &&
           entry.target.find_first_of("\r\n") == std::string::npos;
}

// The new list, written beside the entry file under a name of its own so that
// the old file stays untouched until the new one is complete. Removed again
// unless it has taken the entry file's place.
class TemporaryFile {
public:
    TemporaryFile() = default;
    ~TemporaryFile() {
        // The caller reports why the save failed: cleaning up must not
        // overwrite that reason.
        const DWORD reason = ::GetLastError();
        // The handle goes first: Windows does not delete a file that is open.
        file_.reset();
        if (!name_.empty()) ::DeleteFileW(name_.c_str());
        ::SetLastError(reason);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool Create(const std::wstring& beside) {
        // The new file is its user's alone from the first moment: created
        // with the folder's defaults, another user could open it before the
        // rename and keep a handle for writing.
        PrivateFileSecurity security;
        if (!security.attributes()) return false;
        static std::atomic<unsigned> counter{0};
        // CREATE_NEW never opens someone else's file; a name left over by an
        // earlier crash is simply skipped.
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::wstring name = beside + L"." + std::to_wstring(::GetCurrentProcessId()) + L"-" +
                                std::to_wstring(counter++) + L".tmp";
            file_.reset(::CreateFileW(name.c_str(), GENERIC_WRITE, 0, security.attributes(),
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
            if (file_) {
                name_ = std::move(name);
                return true;
            }
            if (::GetLastError() != ERROR_FILE_EXISTS) break;
        }
        TraceFailure("create");
        return false;
    }

    bool Write(std::string_view bytes) {
        while (!bytes.empty()) {
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
            DWORD written = 0;
            if (!::WriteFile(file_.get(), bytes.data(), chunk, &written, nullptr) || written == 0) {
                TraceFailure("write");
                return false;
            }
            bytes.remove_prefix(written);
        }
        return true;
    }

    bool Flush() {
        if (::FlushFileBuffers(file_.get())) return true;
        TraceFailure("flush");
        return false;
    }

    // Puts this file in the place of `target` in one step: a reader sees the
    // old list or the new one, never a part of either.
    bool Replace(const std::wstring& target) {
        file_.reset();
        if (!::MoveFileExW(name_.c_str(), target.c_str(),
                           MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
            TraceFailure("replace");
            return false;
        }
        name_.clear();
        return true;
    }

private:
    std::wstring name_;
    UniqueFile file_;
};

// Whether the file at `target`, if there is one, may be replaced: a list that
// is not read (another user's, a link, one that others may change) is left
// alone too.
bool MayReplace(const std::wstring& target, const PinnedFolders& folders) {
    UniqueFile existing(::CreateFileW(target.c_str(), READ_CONTROL | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT,
                                      nullptr));
    if (!existing) {
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    if (IsSafeEntryFile(existing.get(), VolumeKeepsOwners(Narrow(target))) &&
        folders.Holds(existing.get(), target)) {
        return true;
    }
    TraceFailure("trust check");
    return false;
}

// FNV-1a over the bytes, the length folded in as well. Enough to tell one
// list from another; the file is no secret to guard.
EntryFileStamp StampOf(std::string_view bytes) {
    std::uint64_t digest = 14695981039346656037u;
    for (const char c : bytes) digest = (digest ^ static_cast<unsigned char>(c)) * 1099511628211u;
    return {true, digest ^ bytes.size()};
}

// What the file holds now, without keeping anyone from reading, replacing or
// deleting it meanwhile; nothing, with the last error, when it cannot be read.
std::optional<EntryFileStamp> StampNow(const std::wstring& target) {
    UniqueFile file(::CreateFileW(target.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) return EntryFileStamp{};
        return std::nullopt;
    }
    const std::optional<std::string> bytes = ReadAll(file.get());
    if (!bytes) return std::nullopt;
    return StampOf(*bytes);
}

}  // namespace

std::optional<std::string> ReadTrustedFile(const std::string& path, EntryFileStamp* seen) {
    if (seen) *seen = {};
    const std::wstring name = Widen(path);
    PinnedFolders folders;
    if (!folders.Pin(name)) {
        TraceFailure("folder check");
        return std::nullopt;
    }
    // The link itself is opened, not what it points to, so that the check
    // sees it.
    UniqueFile file(::CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return std::nullopt;
    if (!IsSafeEntryFile(file.get(), VolumeKeepsOwners(path)) || !folders.Holds(file.get(), name)) {
        TraceFailure("trust check");
        return std::nullopt;
    }
    std::optional<std::string> bytes = ReadAll(file.get());
    if (!bytes) {
        TraceFailure("read");
        return std::nullopt;
    }
    if (seen) *seen = StampOf(*bytes);
    return bytes;
}

std::optional<std::vector<MenuEntry>> ReadEntryFile(const std::string& path, EntryFileStamp* seen) {
    const std::optional<std::string> bytes = ReadTrustedFile(path, seen);
    if (!bytes) return std::nullopt;
    const EntryFileText content = ClassifyEntryFile(*bytes);
    const std::string text = content.utf8 ? std::string(content.text) : FromAnsi(content.text);
    return ParseEntries(text);
}

void RemoveLeftoverSaves(const std::string& path, std::uint64_t olderThanMs) {
    // The names TemporaryFile gives: "<entry file>.<process>-<count>.tmp".
    const std::wstring entryFile = Widen(path);
    if (entryFile.empty()) return;
    const std::wstring folder = entryFile.substr(0, entryFile.find_last_of(L'\\') + 1);
    PinnedFolders folders;
    if (!folders.Pin(entryFile)) return;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((entryFile + L".*.tmp").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    FILETIME now{};
    ::GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& time) {  // of 100 ns
        return ULARGE_INTEGER{{time.dwLowDateTime, time.dwHighDateTime}}.QuadPart;
    };
    do {
        // A save under way keeps its file's time fresh; one cut short does not.
        const bool old = ticks(found.ftLastWriteTime) + olderThanMs * 10000 <= ticks(now);
        if (old && !(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            ::DeleteFileW((folder + found.cFileName).c_str());
        }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
}

std::vector<Removal> RemoveUserFiles(const std::string& dataFolder, const std::string& exeName,
                                     const std::string& userName) {
    const std::wstring folder = Widen(AddBackslash(dataFolder));
    // Held while the files go, as for a save: the names found are deleted in
    // the folder that was searched.
    PinnedFolders folders;
    if (!folders.Pin(Widen(EntryFilePath(dataFolder, exeName, userName)))) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_PATH_NOT_FOUND || error == ERROR_FILE_NOT_FOUND) return {};
        return {{dataFolder, error}};
    }
    std::vector<Removal> removed;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + Widen(exeName) + L".*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return removed;
    do {
        // The pattern also matches short 8.3 names: the long name decides.
        const std::string name = Narrow(found.cFileName);
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
            !IsUserDataFileName(name, exeName, userName)) {
            continue;
        }
        const bool deleted = ::DeleteFileW((folder + found.cFileName).c_str());
        removed.push_back({Narrow(folder) + name, deleted ? 0 : ::GetLastError()});
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return removed;
}

bool WriteEntryFile(const std::string& path, const std::vector<MenuEntry>& entries,
                    EntryFileStamp* seen) {
    if (!std::all_of(entries.begin(), entries.end(), Storable)) {
        Trace("entry file: an entry holds a TAB or a line break, nothing saved");
        return false;
    }
    return WriteFileWhole(path, EncodeEntryFile(entries, ToAnsiExactly), seen);
}

bool WriteFileWhole(const std::string& path, std::string_view bytes, EntryFileStamp* seen) {
    const std::wstring target = Widen(path);
    if (target.empty()) return false;

    // Held until the new file has taken its place: the temporary file, the
    // check and the replace all happen in the folder that was checked.
    PinnedFolders folders;
    if (!folders.Pin(target)) {
        TraceFailure("folder check");
        return false;
    }
    if (!MayReplace(target, folders)) return false;

    TemporaryFile temporary;
    if (!temporary.Create(target)) return false;
    if (!temporary.Write(bytes)) return false;
    // Without the flush a crash soon after the replace could leave the new
    // name pointing at data that never reached the disk.
    if (!temporary.Flush()) return false;
    // Asked last, so that another copy's save can slip in only in the moment
    // before the replace.
    if (seen) {
        const std::optional<EntryFileStamp> now = StampNow(target);
        if (!now) {
            TraceFailure("change check");
            return false;
        }
        if (now->present && *now != *seen) {
            Trace("entry file: changed elsewhere since it was read, not replaced");
            ::SetLastError(kErrorEntryFileChanged);
            return false;
        }
    }
    if (!temporary.Replace(target)) return false;
    if (seen) *seen = StampOf(bytes);
    return true;
}

}  // namespace jumpnest
