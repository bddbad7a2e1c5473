#include "store/entry_list_win.h"

#include <algorithm>

#include "core/globals.h"
#include "core/messages_win.h"
#include "core/scale.h"
#include "core/trace_win.h"

namespace jumpnest {

EntryList::EntryList(PictureSource source, FileProbe probe)
    : source_(std::move(source)), probe_(std::move(probe)) {}

void EntryList::StartLoader(HWND window, WPARAM tag, std::string name) {
    loaderName_ = std::move(name);
    loader_ = std::make_unique<IconLoader>(window, kPicturesMessage, source_, probe_, tag);
}

void EntryList::StopLoader(unsigned waitMs) {
    if (!loader_) return;
    if (!loader_->Stop(waitMs)) Trace("icon loader still busy; left to end with the process");
    loader_.reset();
}

void EntryList::Notify(Change change, size_t index) {
    for (const Listener& listener : listeners_) listener(change, index);
}

void EntryList::ClearPictures(PictureSet& set) const {
    ImageList_RemoveAll(set.large.get());
    ImageList_RemoveAll(set.small.get());
    // Position 0 must hold a picture whatever the shell says, or every
    // entry's picture would shift by one: the system's application picture
    // stands in until the loader brings the program folder's, first of all.
    const HICON standIn = ::LoadIconW(nullptr, IDI_APPLICATION);
    ImageList_AddIcon(set.large.get(), standIn);
    ImageList_AddIcon(set.small.get(), standIn);
    set.images.assign(entries_.size(), 0);
}

EntryList::PictureSet& EntryList::SetFor(int dpi) const {
    auto found = sets_.find(dpi);
    if (found != sets_.end()) return found->second;
    PictureSet& set = sets_[dpi];
    const int large = EntryPicturePixels(true, dpi), small = EntryPicturePixels(false, dpi);
    set.large.reset(ImageList_Create(large, large, ILC_COLOR32 | ILC_MASK, 8, 8));
    set.small.reset(ImageList_Create(small, small, ILC_COLOR32 | ILC_MASK, 8, 8));
    ClearPictures(set);
    Trace("pictures at " + std::to_string(dpi) + " dpi: " + std::to_string(large) + " and " +
          std::to_string(small) + " pixels");
    if (loader_) {
        std::vector<PictureRequest> requests = {{gAppPath, dpi}};
        for (const MenuEntry& entry : entries_) requests.push_back({entry.target, dpi, true});
        loader_->Append(requests);
        picturesPending_ = true;
    }
    return set;
}

std::vector<PictureRequest> EntryList::RequestsFor(const std::vector<std::string>& targets) const {
    std::vector<PictureRequest> requests;
    for (const auto& [dpi, set] : sets_) {
        // The program folder is no entry: its picture is all that is asked.
        for (const std::string& target : targets)
            requests.push_back({target, dpi, target != gAppPath});
    }
    return requests;
}

HIMAGELIST EntryList::Images(bool large, int dpi) const {
    const PictureSet& set = SetFor(dpi);
    return large ? set.large.get() : set.small.get();
}

int EntryList::Image(size_t i, int dpi) const {
    const PictureSet& set = SetFor(dpi);
    return i < set.images.size() ? set.images[i] : 0;
}

size_t EntryList::availableCount() const {
    return static_cast<size_t>(std::count(away_.begin(), away_.end(), 0));
}

void EntryList::Recheck() {
    // One question at a time: a file on a share that sleeps takes the loader
    // long to answer, and every trigger must not queue another behind it.
    if (!loader_ || picturesPending_) return;
    std::vector<std::string> targets;
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (away_[i]) targets.push_back(entries_[i].target);
    }
    if (targets.empty()) return;
    // Their pictures come with the answer: an entry that was away has none.
    loader_->Append(RequestsFor(targets));
    picturesPending_ = true;
}

size_t EntryList::Find(const std::string& target) {
    // Answers come in list order, so the search starts after the last one
    // found: a long list is not scanned from its top for every answer.
    for (size_t n = 0; n < entries_.size(); ++n) {
        const size_t i = (lastFound_ + n) % entries_.size();
        if (entries_[i].target == target) return lastFound_ = i;
    }
    return entries_.size();
}

void EntryList::SetPresence(size_t i, bool present) {
    if (!away_[i] == present) return;
    away_[i] = !present;
    Trace((present ? "entry back: " : "entry away: ") + entries_[i].target);
    Notify(Change::kPresence, i);
}

void EntryList::Replace(std::vector<MenuEntry> entries) {
    entries_ = std::move(entries);
    away_.assign(entries_.size(), false);
    for (auto& [dpi, set] : sets_) ClearPictures(set);
    ++generation_;
    std::vector<std::string> targets = {gAppPath};
    for (const MenuEntry& entry : entries_) targets.push_back(entry.target);
    if (loader_) {
        // No scale asked for yet: the batch only drops what was pending,
        // and the first scale asked for brings its pictures.
        std::vector<PictureRequest> requests = RequestsFor(targets);
        picturesPending_ = !requests.empty();
        batch_ = loader_->Load(std::move(requests));
    }
    Trace("entries: " + std::to_string(entries_.size()));
    Notify(Change::kReset, 0);
}

size_t EntryList::AddDropped(const std::vector<std::string>& paths, const FileProbe& isFile) {
    const std::vector<MenuEntry> added = EntriesFromDrop(paths, entries_, isFile);
    const size_t first = entries_.size();
    std::vector<std::string> targets;
    for (const MenuEntry& entry : added) {
        entries_.push_back(entry);
        away_.push_back(false);  // it was just dropped from where it is
        targets.push_back(entry.target);
    }
    Trace("dropped: " + std::to_string(paths.size()) + " paths, " + std::to_string(added.size()) +
          " entries added; entries: " + std::to_string(entries_.size()));
    if (added.empty()) return 0;
    for (auto& [dpi, set] : sets_) set.images.resize(entries_.size(), 0);
    ++generation_;
    // The loader may still be busy with the list it was given; the new files
    // join the end of its queue, so the window never waits on the shell.
    if (loader_) {
        loader_->Append(RequestsFor(targets));
        picturesPending_ = true;
    }
    Notify(Change::kAdded, first);
    return added.size();
}

void EntryList::Rename(size_t index, std::string_view caption) {
    if (index >= entries_.size()) return;
    // A TAB or a line break would break the entry file: they never get in.
    entries_[index].caption = CleanCaption(caption);
    Trace("renamed: " + entries_[index].caption);
    Notify(Change::kCaption, index);
}

size_t EntryList::Move(size_t index, int direction) {
    const size_t moved = MoveEntry(entries_, index, direction);
    if (moved == index) return index;
    for (auto& [dpi, set] : sets_) std::swap(set.images[moved], set.images[index]);
    std::swap(away_[moved], away_[index]);
    ++generation_;
    Notify(Change::kReset, 0);
    return moved;
}

void EntryList::Remove(size_t index) {
    if (index >= entries_.size()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    away_.erase(away_.begin() + static_cast<std::ptrdiff_t>(index));
    for (auto& [dpi, set] : sets_) {
        set.images.erase(set.images.begin() + static_cast<std::ptrdiff_t>(index));
    }
    ++generation_;
    Trace("entries: " + std::to_string(entries_.size()));
    Notify(Change::kReset, 0);
}

void EntryList::TakePictures(std::unique_ptr<LoadedPictures> loaded) {
    // Pictures of a list that has since been loaded again are not wanted.
    if (!loaded || loaded->batch != batch_) return;
    if (loaded->batchDone) {
        picturesPending_ = false;
        std::string counts = loaderName_ + ":";
        for (const auto& [dpi, set] : sets_) {
            counts.append(" ").append(std::to_string(ImageList_GetImageCount(set.large.get()) - 1));
            counts.append(" at ").append(std::to_string(dpi)).append(" dpi");
        }
        Trace(counts + " loaded");
        return;
    }
    const auto found = sets_.find(loaded->dpi);
    const EntryPictures& pictures = loaded->pictures;
    // Both lists keep the same order, so a picture takes a place only when
    // the shell gave both.
    const bool whole = found != sets_.end() && pictures.large && pictures.small;
    if (loaded->target == gAppPath) {
        if (!whole) return;
        // The folder's picture, at 0: no entry is a folder.
        ImageList_ReplaceIcon(found->second.large.get(), 0, pictures.large.get());
        ImageList_ReplaceIcon(found->second.small.get(), 0, pictures.small.get());
        Notify(Change::kPicture, kAllEntries);
        return;
    }
    // The entry is found by its target: the list may have been edited since
    // the file was asked for.
    const size_t i = Find(loaded->target);
    if (i == entries_.size()) return;
    if (loaded->probed) SetPresence(i, loaded->present);
    if (!whole) return;
    PictureSet& set = found->second;
    if (set.images[i] != 0) return;
    set.images[i] = ImageList_GetImageCount(set.large.get());
    ImageList_AddIcon(set.large.get(), pictures.large.get());
    ImageList_AddIcon(set.small.get(), pictures.small.get());
    Notify(Change::kPicture, i);
}

}  // namespace jumpnest
