// Files dropped from the shell: an OLE drop target on each accepting gadget.
// Explorer drags with OLE's DoDragDrop; Wine delivers such a drag only to a
// registered drop target, never as WM_DROPFILES to a window that merely
// accepts files (docs/platform-notes.md).
#include "support/drop.h"

#include <windows.h>
#include <ole2.h>
#include <shellapi.h>

#include <new>

#include "support/codepage.h"
#include "support/gadgets.h"
#include "support/window.h"

namespace {

class FileDropTarget;

struct Registration {
    HWND window = nullptr;
    int32_t gadget = 0;
    WNDPROC previous = nullptr;
    FileDropTarget* target = nullptr;  // none until registered
};

struct DropLayer {
    bool oleReady = false;
    std::vector<Registration> registrations;
    std::vector<DroppedFile> files;  // of the last drop, until taken
};
DropLayer gDrop;

FORMATETC FileListFormat() { return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

DroppedFile Dropped(const std::wstring& wide) {
    DroppedFile file;
    ExactBytes(wide, CP_ACP, file.path);
    DWORD attributes = GetFileAttributesW(wide.c_str());
    file.folder = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return file;
}

// The dropped paths, in their order, read as wide text: the ANSI form would
// turn a name the code page lacks into a different, plausible one.
bool ReadDroppedFiles(IDataObject* data, std::vector<DroppedFile>& out) {
    FORMATETC format = FileListFormat();
    STGMEDIUM medium{};
    if (FAILED(data->GetData(&format, &medium))) return false;
    bool ok = medium.tymed == TYMED_HGLOBAL && medium.hGlobal;
    if (ok) {
        auto drop = static_cast<HDROP>(medium.hGlobal);
        UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
        out.clear();
        for (UINT i = 0; i < count; ++i) {
            UINT length = DragQueryFileW(drop, i, nullptr, 0);
            std::wstring wide(size_t(length) + 1, L'\0');
            wide.resize(DragQueryFileW(drop, i, wide.data(), length + 1));
            if (!wide.empty()) out.push_back(Dropped(wide));
        }
    }
    ReleaseStgMedium(&medium);
    return ok;
}

// The drop target of one control. Its calls come through the thread's
// message queue, in the middle of a wait, like a control's notifications.
class FileDropTarget final : public IDropTarget {
public:
    FileDropTarget(HWND window, int32_t gadget) : window_(window), gadget_(gadget) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *out = static_cast<IDropTarget*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ULONG(InterlockedIncrement(&refs_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&refs_);
        if (left == 0) delete this;
        return ULONG(left);
    }

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        FORMATETC format = FileListFormat();
        offersFiles_ = data && data->QueryGetData(&format) == S_OK;
        *effect = EffectFor(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = EffectFor(*effect);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE DragLeave() override {
        offersFiles_ = false;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        *effect = EffectFor(*effect);
        offersFiles_ = false;
        // Only the files are taken here: what they mean is the application's
        // business, after the drop has ended and the dragging program runs on.
        if (*effect == DROPEFFECT_NONE || !data || !ReadDroppedFiles(data, gDrop.files))
            *effect = DROPEFFECT_NONE;
        else
            WinRaiseGadgetEvent(gadget_, kSubtypeDrop);
        return S_OK;
    }

private:
    // A drop takes the files' paths and leaves the files alone: a copy (or a
    // link) to the dragging program, never a move, after which it would
    // delete them.
    DWORD EffectFor(DWORD allowed) const {
        if (!offersFiles_ || !IsWindowEnabled(GetAncestor(window_, GA_ROOT))) return DROPEFFECT_NONE;
        if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
        if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
        return DROPEFFECT_NONE;
    }

    LONG refs_ = 1;  // the registration's
    HWND window_;
    int32_t gadget_;
    bool offersFiles_ = false;
};

// Registering a drop target marshals it for other processes, a few
// milliseconds under Wine: it waits for a zero-delay timer, which comes once
// the window is built and drawn, so the window shows no later for it.
constexpr UINT_PTR kRegisterTimer = 0x4452;

// Makes the control a drop target; no target when the platform refuses.
void Register(Registration& r) {
    // A drop target needs OLE on the thread, not only COM. Initialised once,
    // for the life of the process.
    if (!gDrop.oleReady) gDrop.oleReady = SUCCEEDED(OleInitialize(nullptr));
    if (!gDrop.oleReady) return;
    auto* target = new (std::nothrow) FileDropTarget(r.window, r.gadget);
    if (!target) return;
    if (FAILED(RegisterDragDrop(r.window, target))) {
        target->Release();
        return;
    }
    r.target = target;
}

// In front of an accepting control until it goes: it registers the control
// when the timer comes, and revokes it before it is destroyed (as the
// platform asks).
LRESULT CALLBACK DropProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    std::vector<Registration>& all = gDrop.registrations;
    for (size_t i = 0; i < all.size(); ++i) {
        if (all[i].window != hwnd) continue;
        WNDPROC previous = all[i].previous;
        if (msg == WM_TIMER && wp == kRegisterTimer) {
            KillTimer(hwnd, kRegisterTimer);
            if (!all[i].target) Register(all[i]);
            return 0;
        }
        if (msg == WM_DESTROY) {
            if (all[i].target) {
                RevokeDragDrop(hwnd);
                all[i].target->Release();
            }
            SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
            all.erase(all.begin() + ptrdiff_t(i));
        }
        return CallWindowProcA(previous, hwnd, msg, wp, lp);
    }
    return DefWindowProcA(hwnd, msg, wp, lp);  // not reached: registered windows only
}

}  // namespace

bool GadAcceptFileDrops(int32_t gadget) {
    GadgetRecord* record = GadgetFind(gadget);
    if (!record) return false;
    HWND window = record->handle;
    for (const Registration& r : gDrop.registrations)
        if (r.window == window) return true;
    if (!SetTimer(window, kRegisterTimer, 0, nullptr)) return false;
    Registration r;
    r.window = window;
    r.gadget = gadget;
    r.previous =
        reinterpret_cast<WNDPROC>(SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(DropProc)));
    gDrop.registrations.push_back(r);
    return true;
}

std::vector<DroppedFile> TakeDroppedFiles() {
    std::vector<DroppedFile> files;
    files.swap(gDrop.files);
    return files;
}
