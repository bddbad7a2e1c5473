// The shell's pictures of the entries, fetched on a thread of their own.
// Asking the shell takes milliseconds per file (it opens the file and runs
// its type's icon handler), and far longer for a file on a network share
// that sleeps; the list shows the folder's picture until an entry's own
// arrives.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/handle_win.h"

namespace jumpnest {

// The two pictures of one file, large and small; either may be missing.
struct EntryPictures {
    UniqueIcon large;
    UniqueIcon small;
};

// Where pictures come from: the shell, or a stand-in in tests. `dpi` is the
// scale they are wanted for, which sets their sizes.
using PictureSource = std::function<EntryPictures(const std::string& target, int dpi)>;
EntryPictures ShellPictures(const std::string& target, int dpi);

// Answers whether a path names an existing file. The real one asks the file
// system, which for a file on a network share that sleeps takes seconds:
// only the loader's thread asks it about entries.
using FileProbe = std::function<bool(const std::string& path)>;

// One file's pictures, wanted at one scale; with `probe`, whether the file
// is there is asked first, and a file that is away gets no pictures.
struct PictureRequest {
    std::string target;
    int dpi = 96;
    bool probe = false;
};

// The pictures of one file, or the end of a batch.
struct LoadedPictures {
    std::uint64_t batch = 0;
    bool batchDone = false;  // no pictures: every file of the batch has been answered
    std::string target;
    int dpi = 96;
    bool probed = false;  // the request asked whether the file is there
    bool present = true;
    EntryPictures pictures;
};

class IconLoader {
public:
    // Results go to `window` as `message` with wParam `tag` and lParam a
    // LoadedPictures*, which the receiver takes over with Take. Requests that
    // ask are checked with `probe` (none: every file counts as there). Both
    // `probe` and `source` are given the target with its %VARIABLE%s
    // expanded.
    IconLoader(HWND window, UINT message, PictureSource source, FileProbe probe = {},
               WPARAM tag = 0);
    // Asks the thread to end, without waiting for it.
    ~IconLoader();
    IconLoader(const IconLoader&) = delete;
    IconLoader& operator=(const IconLoader&) = delete;

    // Starts a new batch with these files, in order, and drops what is left
    // of the one before. Returns the new batch's number.
    std::uint64_t Load(std::vector<PictureRequest> requests);
    // Adds files to the end of the current batch; its end is announced again
    // once they are answered.
    void Append(const std::vector<PictureRequest>& requests);

    // Ends the thread, waiting at most `waitMs` for it: a file on a dead
    // network share can hold the shell for minutes, and the program must
    // still end. A thread that is still busy then is left to finish on its
    // own; whatever it posts later goes nowhere. True when it ended in time.
    bool Stop(unsigned waitMs);

    static std::unique_ptr<LoadedPictures> Take(LPARAM lParam) {
        return std::unique_ptr<LoadedPictures>(reinterpret_cast<LoadedPictures*>(lParam));
    }

private:
    struct Shared;
    std::shared_ptr<Shared> shared_;  // also held by the thread, which may outlive us
};

}  // namespace jumpnest
