// The shell's pictures of the entries, fetched on a thread of their own.
// Asking the shell takes milliseconds per file (it opens the file and runs
// its type's icon handler), which for a long list would hold up the start and
// every Cancel; the list shows the folder's picture until an entry's own
// arrives.
#pragma once

#include <windows.h>

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/handle_win.h"

namespace jumpnest {

// The pictures of one file, or the end of a batch.
struct LoadedPictures {
    std::uint64_t batch = 0;
    bool batchDone = false;  // no pictures: every file of the batch has been answered
    std::string target;
    UniqueIcon large;
    UniqueIcon small;
};

class IconLoader {
public:
    // Results go to `window` as `message` with lParam a LoadedPictures*,
    // which the receiver takes over with Take.
    IconLoader(HWND window, UINT message);
    ~IconLoader();
    IconLoader(const IconLoader&) = delete;
    IconLoader& operator=(const IconLoader&) = delete;

    // Starts fetching the pictures of these files, in order, and drops what
    // is left of the batch before. Returns the new batch's number.
    std::uint64_t Load(std::vector<std::string> targets);

    static std::unique_ptr<LoadedPictures> Take(LPARAM lParam) {
        return std::unique_ptr<LoadedPictures>(reinterpret_cast<LoadedPictures*>(lParam));
    }

private:
    void Run();
    void Post(std::unique_ptr<LoadedPictures> result);

    HWND window_;
    UINT message_;
    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<std::string> pending_;  // guarded by mutex_
    size_t next_ = 1;                   // guarded by mutex_; past the end: nothing to do
    std::uint64_t batch_ = 0;           // guarded by mutex_
    bool stop_ = false;                 // guarded by mutex_
    std::thread thread_;                // started once the rest is ready
};

}  // namespace jumpnest
