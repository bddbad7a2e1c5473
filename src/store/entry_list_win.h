// The one live entry list of the program, with the entries' pictures. The
// configuration window shows it and edits it, the popup reads it, and the
// settings code loads and saves it; none of them owns it.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/handle_win.h"
#include "store/entry_file.h"
#include "store/icon_loader_win.h"

namespace jumpnest {

using UniqueImageList = Unique<HIMAGELIST, NullTraits<HIMAGELIST, ::ImageList_Destroy>>;

class EntryList {
public:
    enum class Change {
        kReset,     // entries replaced, moved or removed: read them all again
        kAdded,     // entries appended from `index` on
        kCaption,   // the caption of entry `index`
        kPicture,   // the picture of entry `index`; of every entry for kAllEntries
        kPresence,  // entry `index`'s file was found away, or back
    };
    static constexpr size_t kAllEntries = static_cast<size_t>(-1);
    using Listener = std::function<void(Change change, size_t index)>;

    // Pictures come from `source`, at the sizes of each display scale asked;
    // whether an entry's file is there is asked of `probe`, on the loader's
    // thread, never on the caller's.
    explicit EntryList(PictureSource source, FileProbe probe = {});
    EntryList(const EntryList&) = delete;
    EntryList& operator=(const EntryList&) = delete;

    // Starts fetching pictures; results arrive at `window` as
    // kPicturesMessage with wParam `tag` (0 for the common list) and are
    // handed to TakePictures. `name` begins the trace line that tells a
    // batch of pictures done.
    void StartLoader(HWND window, WPARAM tag = 0, std::string name = "pictures");
    // Ends the fetching, waiting at most `waitMs`.
    void StopLoader(unsigned waitMs);

    // Listening changes nothing of the list, so readers may listen too.
    void Listen(Listener listener) const { listeners_.push_back(std::move(listener)); }

    const std::vector<MenuEntry>& entries() const { return entries_; }
    // The entries' pictures for a display of `dpi` dots per inch, large or
    // small. The lists of a scale are made and filled the first time it is
    // asked for, and kept: a monitor seen before costs no loading.
    HIMAGELIST Images(bool large, int dpi) const;
    // The picture of entry `i` in both image lists of `dpi`; 0 is the
    // program folder's picture, which an entry shows until its own has
    // arrived.
    int Image(size_t i, int dpi) const;
    bool picturesPending() const { return picturesPending_; }
    // Whether entry `i`'s file is there, or not known to be away yet. An
    // entry whose file is away (a share not yet connected, a USB stick) is
    // kept, saved and shown greyed; only the popup leaves it out.
    bool available(size_t i) const { return i < away_.size() && !away_[i]; }
    size_t availableCount() const;
    // Asks again, in the background, whether the files that were away are
    // back; nothing while the loader still has questions to answer.
    void Recheck();
    // Changes whenever entries are replaced, added, moved or removed, so a
    // reader holding a copy knows whether an index still means the same entry.
    std::uint64_t generation() const { return generation_; }

    void Replace(std::vector<MenuEntry> entries);
    // Appends the dropped files that make entries (existing files, each once,
    // none already listed); how many were added.
    size_t AddDropped(const std::vector<std::string>& paths, const FileProbe& isFile);
    // Sets the caption as typed, without TAB, CR and LF.
    void Rename(size_t index, std::string_view caption);
    // One place up (-1) or down (+1); the entry's new index.
    size_t Move(size_t index, int direction);
    void Remove(size_t index);

    void TakePictures(std::unique_ptr<LoadedPictures> loaded);

private:
    // One display scale's pictures: both lists keep the same order, and
    // `images` holds each entry's place in them.
    struct PictureSet {
        UniqueImageList large;
        UniqueImageList small;
        std::vector<int> images;
    };

    void Notify(Change change, size_t index);
    // The index of the entry with `target`, or the entry count.
    size_t Find(const std::string& target);
    void SetPresence(size_t i, bool present);
    PictureSet& SetFor(int dpi) const;
    void ClearPictures(PictureSet& set) const;
    // Asks for the pictures of `targets` at every scale in use.
    std::vector<PictureRequest> RequestsFor(const std::vector<std::string>& targets) const;

    std::vector<MenuEntry> entries_;
    std::vector<char> away_;  // beside entries_: the file was found away
    size_t lastFound_ = 0;
    // Made on demand by readers too, hence mutable: asking for a scale's
    // pictures changes no entry.
    mutable std::map<int, PictureSet> sets_;
    PictureSource source_;
    FileProbe probe_;
    std::unique_ptr<IconLoader> loader_;
    std::string loaderName_ = "pictures";
    std::uint64_t batch_ = 0;
    mutable bool picturesPending_ = false;
    std::uint64_t generation_ = 0;
    mutable std::vector<Listener> listeners_;
};

}  // namespace jumpnest
