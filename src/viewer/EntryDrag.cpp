#include "viewer/EntryDrag.h"

#include <cstring>
#include <utility>

#include <ole2.h>
#include <shlobj.h>

namespace viewer {
namespace {

UINT DropEffectFormat() {
    static const UINT format = ::RegisterClipboardFormatA(CFSTR_PREFERREDDROPEFFECT);
    return format;
}

HGLOBAL MakeDropEffect(DWORD effect) {
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(DWORD));
    if (memory == nullptr) return nullptr;
    *static_cast<DWORD*>(::GlobalLock(memory)) = effect;
    ::GlobalUnlock(memory);
    return memory;
}

FORMATETC Format(UINT format) {
    return FORMATETC{static_cast<CLIPFORMAT>(format), nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

// IUnknown for an object of one interface, counted from 1; it deletes
// itself when the count falls to 0.
template <class Interface, const IID& kInterface>
class Counted : public Interface {
public:
    virtual ~Counted() = default;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (out == nullptr) return E_POINTER;
        *out = iid == IID_IUnknown || iid == kInterface ? static_cast<Interface*>(this) : nullptr;
        if (*out == nullptr) return E_NOINTERFACE;
        this->AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --references;
        if (left == 0) delete this;
        return left;
    }

private:
    ULONG references = 1;
};

// The entries as files: CF_HDROP, made on the first request for it, and the
// copy effect the shell's targets look for.
class FileDataObject final : public Counted<IDataObject, IID_IDataObject> {
public:
    explicit FileDataObject(FileMaker maker) : make(std::move(maker)) {}

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* wanted, STGMEDIUM* medium) override {
        if (wanted == nullptr || medium == nullptr) return E_INVALIDARG;
        const HRESULT offered = QueryGetData(wanted);
        if (offered != S_OK) return offered;
        HGLOBAL memory = nullptr;
        if (wanted->cfFormat == CF_HDROP) {
            if (make) {
                // Once: the same files answer every later request.
                files = make();
                make = nullptr;
            }
            if (files.empty()) return E_FAIL;
            memory = MakeFileDrop(files);
        } else {
            memory = MakeDropEffect(DROPEFFECT_COPY);
        }
        if (memory == nullptr) return E_OUTOFMEMORY;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    // The drag is over: what make() refers to may go. A target that keeps the
    // object and asks later gets the files made during the drop, or none.
    void EndDrag() { make = nullptr; }

    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* wanted) override {
        if (wanted == nullptr) return E_INVALIDARG;
        if (wanted->cfFormat != CF_HDROP && wanted->cfFormat != DropEffectFormat()) return DV_E_FORMATETC;
        if ((wanted->tymed & TYMED_HGLOBAL) == 0) return DV_E_TYMED;
        return wanted->dwAspect == DVASPECT_CONTENT ? S_OK : DV_E_DVASPECT;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        if (out != nullptr) out->ptd = nullptr;
        return E_NOTIMPL;
    }
    // What a target tells back ("Performed DropEffect" and the like) is not needed.
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (out == nullptr) return E_POINTER;
        *out = nullptr;
        if (direction != DATADIR_GET) return E_NOTIMPL;
        const FORMATETC formats[] = {Format(CF_HDROP), Format(DropEffectFormat())};
        return ::SHCreateStdEnumFmtEtc(2, formats, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    FileMaker make;
    std::vector<std::string> files;
};

// Drops when the left button goes up outside `source`'s window; Escape or
// the right button gives the drag up.
class FileDropSource final : public Counted<IDropSource, IID_IDropSource> {
public:
    explicit FileDropSource(HWND window) : source(::GetAncestor(window, GA_ROOT)) {}

    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape || (keys & MK_RBUTTON) != 0) return DRAGDROP_S_CANCEL;
        if ((keys & MK_LBUTTON) != 0) return S_OK;
        // Onto the viewer itself (its lists among it): nothing happens.
        POINT at{};
        ::GetCursorPos(&at);
        HWND under = ::WindowFromPoint(at);
        return under != nullptr && ::GetAncestor(under, GA_ROOT) == source ? DRAGDROP_S_CANCEL : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }

private:
    HWND source;
};

}  // namespace

HGLOBAL MakeFileDrop(const std::vector<std::string>& paths) {
    std::size_t size = sizeof(DROPFILES) + 1;  // the list ends in an empty name
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (memory == nullptr) return nullptr;
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = FALSE;
    char* at = reinterpret_cast<char*>(header + 1);
    for (const std::string& path : paths) {
        std::memcpy(at, path.c_str(), path.size() + 1);
        at += path.size() + 1;
    }
    ::GlobalUnlock(memory);
    return memory;
}

DWORD DragFilesOut(HWND source, FileMaker make) {
    auto* data = new FileDataObject(std::move(make));
    auto* dropSource = new FileDropSource(source);
    DWORD effect = DROPEFFECT_NONE;
    const HRESULT result = ::DoDragDrop(data, dropSource, DROPEFFECT_COPY, &effect);
    data->EndDrag();
    dropSource->Release();
    data->Release();
    return result == DRAGDROP_S_DROP ? effect : DROPEFFECT_NONE;
}

bool PutFilesOnClipboard(HWND owner, const std::vector<std::string>& paths) {
    if (paths.empty() || !::OpenClipboard(owner)) return false;
    ::EmptyClipboard();
    bool put = false;
    if (HGLOBAL drop = MakeFileDrop(paths)) {
        put = ::SetClipboardData(CF_HDROP, drop) != nullptr;
        if (!put) ::GlobalFree(drop);
    }
    if (HGLOBAL effect = put ? MakeDropEffect(DROPEFFECT_COPY) : nullptr) {
        if (::SetClipboardData(DropEffectFormat(), effect) == nullptr) ::GlobalFree(effect);
    }
    ::CloseClipboard();
    return put;
}

}  // namespace viewer
