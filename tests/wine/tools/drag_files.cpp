// Drags files as Explorer does: a small window of its own is pressed with
// the real mouse, OLE's DoDragDrop carries a CF_HDROP data object (wide
// names, in the order given), and the real mouse moves to the target point
// and lets go there.
//
//   drag_files.exe <x> <y> <file>...    (x, y: the drop point on the screen)
//
// The names are read as UTF-8, so that a test can drag a file whose name the
// ANSI code page lacks (ASCII names read the same either way).
//
// Exit code: 0 the target took the drop (copy or link), 1 the drop happened
// but the target refused it, 2 the drag never started or was cancelled.
// TW_TIME_SCALE stretches its pauses as it does the test driver's.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

namespace {

DWORD Span(DWORD ms) {
    const char* scale = std::getenv("TW_TIME_SCALE");
    double f = scale ? std::atof(scale) : 0;
    return f > 0 ? DWORD(ms * f) : ms;
}
void Pause(DWORD ms) { Sleep(Span(ms)); }

FORMATETC FileFormat() { return FORMATETC{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

// DROPFILES followed by the wide names, each ended by a zero, and one more zero.
HGLOBAL MakeDropFiles(const std::vector<std::wstring>& files) {
    size_t chars = 1;
    for (const std::wstring& f : files) chars += f.size() + 1;
    HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + chars * sizeof(wchar_t));
    if (!memory) return nullptr;
    auto* header = static_cast<DROPFILES*>(GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    header->fWide = TRUE;
    auto* names = reinterpret_cast<wchar_t*>(header + 1);
    for (const std::wstring& f : files) {
        std::wmemcpy(names, f.c_str(), f.size() + 1);
        names += f.size() + 1;
    }
    GlobalUnlock(memory);
    return memory;
}

class FileData final : public IDataObject {
public:
    explicit FileData(HGLOBAL files) : files_(files) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }  // lives on main's stack
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
        SIZE_T size = GlobalSize(files_);
        HGLOBAL copy = GlobalAlloc(GHND, size);
        if (!copy) return E_OUTOFMEMORY;
        CopyMemory(GlobalLock(copy), GlobalLock(files_), size);
        GlobalUnlock(copy);
        GlobalUnlock(files_);
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = copy;
        medium->pUnkForRelease = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return format->cfFormat == CF_HDROP && (format->tymed & TYMED_HGLOBAL) ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override {
        if (direction != DATADIR_GET) return E_NOTIMPL;
        FORMATETC format = FileFormat();
        return SHCreateStdEnumFmtEtc(1, &format, out);
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

private:
    HGLOBAL files_;
};

// Drops when the left button is up, as Explorer does.
class MouseSource final : public IDropSource {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        *out = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource) ? this : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        return (keys & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

void MouseTo(POINT p) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = p.x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    in.mi.dy = p.y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    SendInput(1, &in, sizeof in);
}

void Button(DWORD flag) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = flag;
    SendInput(1, &in, sizeof in);
}

struct Drag {
    POINT from{}, to{};
    FileData* data = nullptr;
    MouseSource source;
    HRESULT result = E_FAIL;
    DWORD effect = DROPEFFECT_NONE;
    bool started = false;
};
Drag gDrag;

// The user's hand: press on the source window, move to the target in steps
// (the drag loop looks at the mouse on a timer), wait there, let go.
DWORD WINAPI Hand(void*) {
    MouseTo(gDrag.from);
    Pause(200);
    Button(MOUSEEVENTF_LEFTDOWN);
    Pause(300);
    const int steps = 15;
    for (int i = 1; i <= steps; ++i) {
        POINT p{gDrag.from.x + (gDrag.to.x - gDrag.from.x) * i / steps,
                gDrag.from.y + (gDrag.to.y - gDrag.from.y) * i / steps};
        MouseTo(p);
        Pause(40);
    }
    Pause(400);
    Button(MOUSEEVENTF_LEFTUP);
    return 0;
}

LRESULT CALLBACK SourceProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_LBUTTONDOWN && !gDrag.started) {
        // As Explorer does: the drag starts from the press on its window.
        gDrag.started = true;
        gDrag.result = DoDragDrop(gDrag.data, &gDrag.source, DROPEFFECT_COPY | DROPEFFECT_LINK, &gDrag.effect);
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return 2;
    gDrag.to = POINT{std::atol(argv[1]), std::atol(argv[2])};
    std::vector<std::wstring> files;
    for (int i = 3; i < argc; ++i) {
        wchar_t wide[MAX_PATH * 2] = {};
        MultiByteToWideChar(CP_UTF8, 0, argv[i], -1, wide, MAX_PATH * 2);
        files.push_back(wide);
    }
    if (FAILED(OleInitialize(nullptr))) return 2;
    FileData data(MakeDropFiles(files));
    gDrag.data = &data;

    WNDCLASSA cls{};
    cls.lpfnWndProc = SourceProc;
    cls.lpszClassName = "DragFilesSource";
    cls.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_HIGHLIGHT + 1);
    RegisterClassA(&cls);
    // Top left, away from the centred main window of the program.
    HWND source = CreateWindowExA(WS_EX_TOPMOST, cls.lpszClassName, "", WS_POPUP | WS_VISIBLE, 10, 10, 60, 60,
                                  nullptr, nullptr, nullptr, nullptr);
    if (!source) return 2;
    SetForegroundWindow(source);
    gDrag.from = POINT{40, 40};
    HANDLE hand = CreateThread(nullptr, 0, Hand, nullptr, 0, nullptr);

    // Ends with the drag; a press that never reached the window ends it too.
    SetTimer(source, 1, Span(10000), nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_TIMER && !gDrag.started) break;
        DispatchMessageA(&msg);
    }
    if (hand) {
        WaitForSingleObject(hand, Span(10000));
        CloseHandle(hand);
    }
    DestroyWindow(source);
    OleUninitialize();
    if (!gDrag.started || gDrag.result != DRAGDROP_S_DROP) return 2;
    return gDrag.effect == DROPEFFECT_NONE ? 1 : 0;
}
