#include "ui/config/drop_target_win.h"

#include <shellapi.h>

#include "core/encoding_win.h"

namespace jumpnest {

namespace {

FORMATETC FileListFormat() {
    return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool HoldsFiles(IDataObject* data) {
    FORMATETC format = FileListFormat();
    return data && data->QueryGetData(&format) == S_OK;
}

}  // namespace

HRESULT STDMETHODCALLTYPE FileDropTarget::QueryInterface(REFIID riid, void** object) {
    if (!object) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragEnter(IDataObject* data, DWORD, POINTL,
                                                    DWORD* effect) {
    acceptable_ = HoldsFiles(data);
    *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragOver(DWORD, POINTL, DWORD* effect) {
    *effect = acceptable_ ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::DragLeave() {
    acceptable_ = false;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE FileDropTarget::Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) {
    *effect = DROPEFFECT_NONE;
    FORMATETC format = FileListFormat();
    STGMEDIUM medium{};
    if (!data || data->GetData(&format, &medium) != S_OK) return S_OK;
    std::vector<std::string> paths;
    if (auto drop = static_cast<HDROP>(::GlobalLock(medium.hGlobal))) {
        const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < count; ++i) {
            std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
            path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
            paths.push_back(Narrow(path));
        }
        ::GlobalUnlock(medium.hGlobal);
    }
    ::ReleaseStgMedium(&medium);
    *effect = DROPEFFECT_COPY;
    if (onDrop_) onDrop_(paths);
    return S_OK;
}

}  // namespace jumpnest
