#include "store/icon_loader_win.h"

#include <objbase.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "core/environment_win.h"
#include "core/scale.h"
#include "store/icons_win.h"

namespace jumpnest {

EntryPictures ShellPictures(const std::string& target, int dpi) {
    return {FileIconAtSize(target, EntryPicturePixels(true, dpi)),
            FileIconAtSize(target, EntryPicturePixels(false, dpi))};
}

struct IconLoader::Shared {
    HWND window;
    UINT message;
    WPARAM tag;
    PictureSource source;
    FileProbe probe;
    std::mutex mutex;
    std::condition_variable wake;
    std::condition_variable ended;
    // All guarded by mutex.
    std::vector<PictureRequest> pending;
    size_t next = 1;  // past the end: nothing to do, the end announced
    std::uint64_t batch = 0;
    bool stop = false;
    bool finished = false;

    void Post(std::unique_ptr<LoadedPictures> result) const {
        // Once posted, the receiver owns it; a window that is gone takes
        // nothing, and the result is freed here.
        if (::PostMessageW(window, message, tag, reinterpret_cast<LPARAM>(result.get()))) {
            result.release();
        }
    }

    void Run() {
        // Some icon handlers are COM objects; one apartment for the thread's
        // life spares setting it up for every file.
        const HRESULT com =
            ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
        std::unique_lock<std::mutex> lock(mutex);
        for (;;) {
            wake.wait(lock, [this] { return stop || next <= pending.size(); });
            if (stop) break;
            if (pending.empty()) {
                // Nothing asked: nothing to announce either.
                ++next;
                continue;
            }
            auto result = std::make_unique<LoadedPictures>();
            result->batch = batch;
            if (next == pending.size()) {
                // The batch is done: say so once, then wait for more.
                ++next;
                result->batchDone = true;
            } else {
                result->target = pending[next].target;
                result->dpi = pending[next].dpi;
                result->probed = pending[next++].probe;
            }
            lock.unlock();
            if (!result->batchDone) {
                // The file a target names once its variables are expanded,
                // as it will start; the answer keeps the target as listed.
                const std::string file = ExpandedTarget(result->target);
                if (result->probed && probe) result->present = probe(file);
                if (result->present) result->pictures = source(file, result->dpi);
            }
            Post(std::move(result));
            lock.lock();
        }
        lock.unlock();
        if (SUCCEEDED(com)) ::CoUninitialize();
        std::lock_guard<std::mutex> guard(mutex);
        finished = true;
        ended.notify_all();
    }
};

IconLoader::IconLoader(HWND window, UINT message, PictureSource source, FileProbe probe, WPARAM tag)
    : shared_(std::make_shared<Shared>()) {
    shared_->window = window;
    shared_->message = message;
    shared_->tag = tag;
    shared_->source = std::move(source);
    shared_->probe = std::move(probe);
    std::thread([shared = shared_] { shared->Run(); }).detach();
}

IconLoader::~IconLoader() {
    // The thread keeps what it shares with us alive: asking it to end is
    // enough, whoever wanted to wait for it has done so with Stop.
    Stop(0);
}

std::uint64_t IconLoader::Load(std::vector<PictureRequest> requests) {
    std::uint64_t batch = 0;
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        shared_->pending = std::move(requests);
        shared_->next = 0;
        batch = ++shared_->batch;
    }
    shared_->wake.notify_one();
    return batch;
}

void IconLoader::Append(const std::vector<PictureRequest>& requests) {
    {
        std::lock_guard<std::mutex> lock(shared_->mutex);
        // A batch whose end was announced already announces it again.
        if (shared_->next > shared_->pending.size()) shared_->next = shared_->pending.size();
        shared_->pending.insert(shared_->pending.end(), requests.begin(), requests.end());
    }
    shared_->wake.notify_one();
}

bool IconLoader::Stop(unsigned waitMs) {
    std::unique_lock<std::mutex> lock(shared_->mutex);
    shared_->stop = true;
    shared_->wake.notify_one();
    return shared_->ended.wait_for(lock, std::chrono::milliseconds(waitMs),
                                   [this] { return shared_->finished; });
}

}  // namespace jumpnest
