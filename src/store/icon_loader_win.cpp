#include "store/icon_loader_win.h"

#include <objbase.h>

#include "store/icons_win.h"
#include "store/settings.h"

namespace jumpnest {

IconLoader::IconLoader(HWND window, UINT message) : window_(window), message_(message) {
    thread_ = std::thread([this] { Run(); });
}

IconLoader::~IconLoader() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_one();
    thread_.join();
}

std::uint64_t IconLoader::Load(std::vector<std::string> targets) {
    std::uint64_t batch = 0;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ = std::move(targets);
        next_ = 0;
        batch = ++batch_;
    }
    wake_.notify_one();
    return batch;
}

void IconLoader::Post(std::unique_ptr<LoadedPictures> result) {
    // Once posted, the receiver owns it; a window that is gone takes nothing.
    if (::PostMessageW(window_, message_, 0, reinterpret_cast<LPARAM>(result.get()))) {
        result.release();
    }
}

void IconLoader::Run() {
    // Some icon handlers are COM objects; one apartment for the thread's life
    // spares setting it up for every file.
    const HRESULT com =
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [this] { return stop_ || next_ <= pending_.size(); });
        if (stop_) break;
        const std::uint64_t batch = batch_;
        if (next_ == pending_.size()) {
            // The batch is done: say so once, then wait for the next.
            ++next_;
            lock.unlock();
            auto done = std::make_unique<LoadedPictures>();
            done->batch = batch;
            done->batchDone = true;
            Post(std::move(done));
            lock.lock();
            continue;
        }
        auto result = std::make_unique<LoadedPictures>();
        result->batch = batch;
        result->target = pending_[next_++];
        lock.unlock();
        result->large = GetFileIcon(kLargeIcons, result->target);
        result->small = GetFileIcon(kSmallIcons, result->target);
        Post(std::move(result));
        lock.lock();
    }
    lock.unlock();
    if (SUCCEEDED(com)) ::CoUninitialize();
}

}  // namespace jumpnest
