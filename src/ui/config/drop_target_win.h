// An OLE drop target that takes lists of files, as Explorer drags them.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <functional>
#include <string>
#include <vector>

namespace jumpnest {

class FileDropTarget final : public IDropTarget {
public:
    using DropHandler = std::function<void(const std::vector<std::string>& paths)>;
    explicit FileDropTarget(DropHandler onDrop) : onDrop_(std::move(onDrop)) {}

    // IUnknown; the window that registers the target owns it and revokes it
    // before it goes, so the count only guards against early release.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override { return --references_; }

    // IDropTarget
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL point,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL point,
                                   DWORD* effect) override;

private:
    DropHandler onDrop_;
    ULONG references_ = 1;
    bool acceptable_ = false;
};

}  // namespace jumpnest
