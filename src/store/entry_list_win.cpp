#include "store/entry_list_win.h"

#include <algorithm>

#include "core/globals.h"
#include "core/messages_win.h"
#include "core/trace_win.h"

namespace jumpnest {

EntryList::EntryList(int largeSize, int smallSize, PictureSource source)
    : large_(ImageList_Create(largeSize, largeSize, ILC_COLOR32 | ILC_MASK, 8, 8)),
      small_(ImageList_Create(smallSize, smallSize, ILC_COLOR32 | ILC_MASK, 8, 8)),
      source_(std::move(source)) {
    ClearPictures();
}

void EntryList::StartLoader(HWND window) {
    loader_ = std::make_unique<IconLoader>(window, kPicturesMessage, source_);
}

void EntryList::StopLoader(unsigned waitMs) {
    if (!loader_) return;
    if (!loader_->Stop(waitMs)) Trace("icon loader still busy; left to end with the process");
    loader_.reset();
}

void EntryList::Notify(Change change, size_t index) {
    for (const Listener& listener : listeners_) listener(change, index);
}

void EntryList::ClearPictures() {
    ImageList_RemoveAll(large_.get());
    ImageList_RemoveAll(small_.get());
    // Position 0 must hold a picture whatever the shell says, or every
    // entry's picture would shift by one: the system's application picture
    // stands in until the loader brings the program folder's, first of all.
    const HICON standIn = ::LoadIconW(nullptr, IDI_APPLICATION);
    ImageList_AddIcon(large_.get(), standIn);
    ImageList_AddIcon(small_.get(), standIn);
}

void EntryList::Replace(std::vector<MenuEntry> entries) {
    entries_ = std::move(entries);
    images_.assign(entries_.size(), 0);
    ClearPictures();
    ++generation_;
    std::vector<std::string> targets = {gAppPath};
    for (const MenuEntry& entry : entries_) targets.push_back(entry.target);
    if (loader_) {
        batch_ = loader_->Load(std::move(targets));
        picturesPending_ = true;
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
        images_.push_back(0);
        targets.push_back(entry.target);
    }
    Trace("dropped: " + std::to_string(paths.size()) + " paths, " + std::to_string(added.size()) +
          " entries added; entries: " + std::to_string(entries_.size()));
    if (added.empty()) return 0;
    ++generation_;
    // The loader may still be busy with the list it was given; the new files
    // join the end of its queue, so the window never waits on the shell.
    if (loader_) {
        loader_->Append(targets);
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
    std::swap(images_[moved], images_[index]);
    ++generation_;
    Notify(Change::kReset, 0);
    return moved;
}

void EntryList::Remove(size_t index) {
    if (index >= entries_.size()) return;
    entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
    images_.erase(images_.begin() + static_cast<std::ptrdiff_t>(index));
    ++generation_;
    Trace("entries: " + std::to_string(entries_.size()));
    Notify(Change::kReset, 0);
}

void EntryList::TakePictures(std::unique_ptr<LoadedPictures> loaded) {
    // Pictures of a list that has since been loaded again are not wanted.
    if (!loaded || loaded->batch != batch_) return;
    if (loaded->batchDone) {
        picturesPending_ = false;
        Trace("pictures: " + std::to_string(ImageList_GetImageCount(large_.get()) - 1) +
              " loaded");
        return;
    }
    // Both lists keep the same order, so an entry takes a place only when the
    // shell gave both of its pictures.
    const EntryPictures& pictures = loaded->pictures;
    if (!pictures.large || !pictures.small) return;
    if (loaded->target == gAppPath) {
        // The folder's picture, at 0: no entry is a folder.
        ImageList_ReplaceIcon(large_.get(), 0, pictures.large.get());
        ImageList_ReplaceIcon(small_.get(), 0, pictures.small.get());
        Notify(Change::kPicture, kAllEntries);
        return;
    }
    // The entry is found by its target: the list may have been edited since
    // the file was asked for.
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (images_[i] != 0 || entries_[i].target != loaded->target) continue;
        images_[i] = ImageList_GetImageCount(large_.get());
        ImageList_AddIcon(large_.get(), pictures.large.get());
        ImageList_AddIcon(small_.get(), pictures.small.get());
        Notify(Change::kPicture, i);
        return;
    }
}

}  // namespace jumpnest
