#include "app/MainDialog.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "app/AboutDialog.h"
#include "app/InstallLocation.h"
#include "resource.h"
#include "viewer/VpkViewerDialog.h"
#include "win/App.h"
#include "win/Gdi.h"
#include "win/MessageBox.h"
#include "win/Placement.h"

namespace app {

// Posted to itself by a main window that has packs to open at start-up.
constexpr UINT kOpenStartupPacks = WM_APP + 1;
constexpr const char* kPlacementValue = "MainPlacement";
namespace {

// Releases a COM interface when the scope ends.
template <class Interface>
class Released {
public:
    explicit Released(Interface* pointer) : pointer_(pointer) {}
    ~Released() {
        if (pointer_ != nullptr) pointer_->Release();
    }
    Released(const Released&) = delete;
    Released& operator=(const Released&) = delete;

private:
    Interface* pointer_;
};

bool Fail(const char* text) {
    win::MessageBox(text);
    return false;
}

}  // namespace

bool LoadJpegResource(int id, IPicture*& picture) {
    HMODULE module = win::Instance();
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), "JPG");
    if (resource == nullptr) return Fail("Could not locate resource...");
    HGLOBAL loaded = ::LoadResource(module, resource);
    if (loaded == nullptr) return Fail("Resource load failed, exiting...");
    DWORD size = ::SizeofResource(module, resource);
    const void* bytes = ::LockResource(loaded);
    if (bytes == nullptr) return Fail("Resource load failed, exiting...");

    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    if (block == nullptr) return Fail("Could not allocate memory for image");
    void* copy = ::GlobalLock(block);
    if (copy == nullptr) {
        ::GlobalUnlock(block);
        ::GlobalFree(block);
        return Fail("Could not lock memory for image");
    }
    std::memcpy(copy, bytes, size);
    ::GlobalUnlock(block);

    // The stream frees the block when it is released.
    IStream* stream = nullptr;
    HRESULT created = ::CreateStreamOnHGlobal(block, TRUE, &stream);
    if (FAILED(created) || stream == nullptr) {
        if (stream != nullptr) {
            stream->Release();
        } else {
            ::GlobalFree(block);
        }
        return Fail("CreateStreamOnHGlobal() failed");
    }
    Released<IStream> streamGuard(stream);

    if (picture != nullptr) {
        picture->Release();
        picture = nullptr;
    }
    HRESULT decoded = ::OleLoadPicture(stream, static_cast<LONG>(size), FALSE, IID_IPicture,
                                       reinterpret_cast<void**>(&picture));
    if (FAILED(decoded)) {
        picture = nullptr;
        return Fail("Could not load image (hr failure)");
    }
    if (picture == nullptr) return Fail("Could not load image (pgpPicture failure)");
    return true;
}

void DrawMinimisedIcon(HDC dc, HICON icon, const win::Rect& client) {
    int iconWidth = ::GetSystemMetrics(SM_CXICON);
    int iconHeight = ::GetSystemMetrics(SM_CYICON);
    int x = (client.Width() - iconWidth + 1) / 2;
    int y = (client.Height() - iconHeight + 1) / 2;
    ::DrawIcon(dc, x, y, icon);
}

MainDialog::MainDialog()
    : Dialog(IDD_MAIN), icon(::LoadIconA(win::Instance(), MAKEINTRESOURCEA(IDI_TESSARO))) {}

MainDialog::~MainDialog() {
    CloseViewers();
    for (viewer::VpkViewerDialog* v : closedViewers) delete v;
    ReleasePicture();
}

BOOL MainDialog::OnInitDialog() {
    Dialog::OnInitDialog();

    if (HMENU systemMenu = ::GetSystemMenu(Handle(), FALSE)) {
        std::string about = win::LoadResourceString(IDS_ABOUTBOX);
        if (!about.empty()) {
            ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuA(systemMenu, MF_STRING, ID_ABOUT, about.c_str());
        }
    }

    Send(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    Send(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    if (!LoadBackground()) win::MessageBox("Error loading background image!", MB_OK | MB_ICONSTOP, "Error", Handle());

    std::vector<int> none;
    if (const std::optional<win::Rect> placed = win::LoadPlacement(kPlacementValue, 0, none)) {
        ::SetWindowPos(Handle(), nullptr, placed->left, placed->top, placed->Width(), placed->Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    }
    installPath = LocateInstallation(Handle());
    // After the window has shown: the viewer opens over it.
    if (!startupPacks.empty()) PostMessageA(Handle(), kOpenStartupPacks, 0, 0);
    return TRUE;
}

bool MainDialog::LoadBackground() {
    return LoadJpegResource(IDR_BACKGROUND_JPG, picture);
}

bool MainDialog::DrawBackground(HDC dc, int cx, int cy, const win::Rect& r) {
    if (dc == nullptr || !IsWindow() || picture == nullptr) return false;
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    picture->get_Width(&width);
    picture->get_Height(&height);

    win::Rect target = r.Normalized();
    int w = target.Width();
    int h = target.Height();
    int x = cx - w / 2;
    int y = cy - h / 2;
    RECT bounds = ClientRect().ToRECT();
    // Rows and columns dropped cleanly rather than blended into black: the
    // smoother HALFTONE mode costs about 100 ms a draw under Wine, too slow
    // for redrawing on every step of a frame drag.
    win::SavedDC saved(dc);
    ::SetStretchBltMode(dc, COLORONCOLOR);
    HRESULT rendered = picture->Render(dc, x, y, w, h, 0, height, width, -height, &bounds);
    return SUCCEEDED(rendered);
}

bool MainDialog::DestroyWindow() {
    // Enter and Escape end the modal run without WM_CLOSE; the viewers'
    // windows then go with this one, and their objects go here.
    CloseViewers();
    ReleasePicture();
    return Dialog::DestroyWindow();
}

void MainDialog::ReleasePicture() {
    if (picture != nullptr) {
        picture->Release();
        picture = nullptr;
    }
}

LRESULT MainDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    // The window's own WM_DESTROY carries no parameters; a viewer's closing
    // notice carries the viewer.
    case WM_DESTROY:
        if (wp != 0) {
            OnViewerClosed(wp);
        } else {
            win::SavePlacement(kPlacementValue, Handle(), {});
        }
        break;
    case WM_CLOSE: return OnClose();
    case WM_SYSCOMMAND: return OnSysCommand(wp, lp);
    case WM_PAINT: return OnPaint();
    case WM_SIZE: return OnSize(wp, LOWORD(lp), HIWORD(lp));
    case WM_ERASEBKGND: return OnEraseBackground(reinterpret_cast<HDC>(wp));
    case WM_QUERYDRAGICON: return OnQueryDragIcon();
    case WM_COMMAND: return OnCommand(wp, lp);
    case kOpenStartupPacks: OpenViewerOn(std::exchange(startupPacks, {})); return 0;
    default: break;
    }
    return Dialog::HandleMessage(msg, wp, lp);
}

viewer::VpkViewerDialog* MainDialog::NewViewer() {
    auto* opened = new viewer::VpkViewerDialog;
    opened->SetOwner(Handle());
    if (!installPath.empty()) opened->SetPackFolder(installPath + "\\Vampire\\");
    opened->Create(Handle());
    viewers.push_back(opened);
    return opened;
}

bool MainDialog::IsOpen(const viewer::VpkViewerDialog* v) const {
    return std::find(viewers.begin(), viewers.end(), v) != viewers.end();
}

viewer::VpkViewerDialog* MainDialog::OpenViewerOn(const std::vector<std::string>& paths) {
    viewer::VpkViewerDialog* opened = NewViewer();
    std::vector<std::string> missing;
    // A refused pack shows a message box, during which the viewer (or the
    // main window and the viewer with it) can be closed: nothing more is
    // done to it then.
    for (const std::string& path : paths) {
        const DWORD attributes = ::GetFileAttributesA(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
            missing.push_back(path);
        } else if (IsOpen(opened)) {
            opened->AddPack(path.c_str());
        }
    }
    if (!IsOpen(opened)) return nullptr;
    opened->LoadPackRow(0);
    if (!IsOpen(opened)) return nullptr;
    if (!missing.empty()) {
        std::string text = missing.size() == 1 ? "This pack file does not exist:\n" : "These pack files do not exist:\n";
        for (const std::string& path : missing) text += "\n" + path;
        win::MessageBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION, nullptr, opened->Handle());
    }
    return opened;
}

void MainDialog::OpenViewer() {
    viewer::VpkViewerDialog* opened = NewViewer();
    if (installPath.empty()) {
        win::MessageBox(
            "No VPK files were opened by default because your Bloodlines installation directory could not be located");
        return;
    }
    WIN32_FIND_DATAA found{};
    HANDLE search = ::FindFirstFileA((installPath + "\\Vampire\\*.vpk").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    // A refused pack shows a message box, during which the viewer (or the
    // main window and the viewer with it) can be closed: the search stops then.
    do {
        opened->AddPack((installPath + "\\Vampire\\" + found.cFileName).c_str());
    } while (IsOpen(opened) && ::FindNextFileA(search, &found));
    ::FindClose(search);
}

// Any program may post this window a WM_DESTROY with a non-zero first
// parameter: only a viewer of the list is taken at its word, and only once.
// The notice then goes on to the normal handling like any message.
void MainDialog::OnViewerClosed(WPARAM notice) {
    auto found = std::find_if(viewers.begin(), viewers.end(), [notice](const viewer::VpkViewerDialog* v) {
        return reinterpret_cast<WPARAM>(v) == notice;
    });
    if (found == viewers.end()) return;
    viewer::VpkViewerDialog* closed = *found;
    viewers.erase(found);
    // Parked, not deleted: the notice is posted, so a message box inside one
    // of the viewer's own handlers can deliver it, and that handler goes on
    // with the object when the box returns.
    closed->DestroyWindow();
    closedViewers.push_back(closed);
}

LRESULT MainDialog::OnClose() {
    CloseViewers();
    return DefaultProc(WM_CLOSE, 0, 0);
}

void MainDialog::CloseViewers() {
    // Taken out of the list first: a message box of a closing viewer can let
    // another closing notice in.
    std::vector<viewer::VpkViewerDialog*> closing;
    closing.swap(viewers);
    for (viewer::VpkViewerDialog* v : closing) {
        v->DestroyWindow();
        closedViewers.push_back(v);
    }
}

LRESULT MainDialog::OnSysCommand(WPARAM command, LPARAM lp) {
    if ((command & 0xFFF0) == ID_ABOUT) {
        OnAbout();
        return 0;
    }
    return DefaultProc(WM_SYSCOMMAND, command, lp);
}

void MainDialog::OnAbout() {
    // Owned by this window, which stays disabled while the box runs.
    AboutDialog about;
    about.DoModal(Handle());
}

LRESULT MainDialog::OnCommand(WPARAM wp, LPARAM lp) {
    // Menu commands only; control notifications and accelerators with these
    // ids do not occur in this window.
    switch (LOWORD(wp)) {
    case ID_ABOUT: OnAbout(); return 0;
    case ID_TOOLS_VPK_VIEWER: OpenViewer(); return 0;
    default: return Dialog::HandleMessage(WM_COMMAND, wp, lp);
    }
}

LRESULT MainDialog::OnPaint() {
    if (::IsIconic(Handle())) {
        win::PaintDC dc(Handle());
        Send(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.Get()));
        DrawMinimisedIcon(dc.Get(), icon, ClientRect());
        return 0;
    }
    DrawClientBackground();
    return DefaultProc(WM_PAINT, 0, 0);
}

LRESULT MainDialog::OnSize(WPARAM type, int cx, int cy) {
    LRESULT result = DefaultProc(WM_SIZE, type, MAKELPARAM(cx, cy));
    if (type == SIZE_RESTORED && cx > 0 && cy > 0) DrawClientBackground();
    return result;
}

// With the picture loaded, it covers the whole client area on every paint:
// erasing first would only make it flicker through black.
LRESULT MainDialog::OnEraseBackground(HDC dc) {
    if (picture != nullptr && !::IsIconic(Handle())) return TRUE;
    return DefaultProc(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
}

LRESULT MainDialog::OnQueryDragIcon() const {
    return reinterpret_cast<LRESULT>(icon);
}

void MainDialog::DrawClientBackground() {
    win::Rect client = ClientRect();
    win::ClientDC dc(Handle());
    DrawBackground(dc.Get(), (client.left + client.right) / 2, (client.top + client.bottom) / 2, client);
}

}  // namespace app
