// The main window: the stretched background picture, the menu, the install
// path, and the pack viewers it opens.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "win/Dialog.h"

namespace viewer {
class VpkViewerDialog;
}

namespace app {

class MainDialog : public win::Dialog {
public:
    MainDialog();
    ~MainDialog() override;

    const std::string& InstallPath() const { return installPath; }
    HICON Icon() const { return icon; }
    bool HasPicture() const { return picture != nullptr; }

    // Decodes the background JPEG (resource "JPG" 131) into `picture`.
    bool LoadBackground();
    // Renders `picture` stretched over `r`, centred on (cx, cy).
    bool DrawBackground(HDC dc, int cx, int cy, const win::Rect& r);

    // Closes the viewers still open, releases the picture, then destroys the
    // window.
    bool DestroyWindow() override;

    // Packs named on the command line: once the window is up, one viewer
    // opens with exactly these added and the first loaded. Set before
    // the window is created.
    void SetStartupPacks(std::vector<std::string> paths) { startupPacks = std::move(paths); }
    // A new viewer with `paths` added in order and the first row loaded; paths
    // that are not existing files are named in one message. Null when the
    // viewer was closed meanwhile (from inside a message box).
    viewer::VpkViewerDialog* OpenViewerOn(const std::vector<std::string>& paths);

    // The open pack viewers, in the order they were opened.
    const std::vector<viewer::VpkViewerDialog*>& Viewers() const { return viewers; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;

    // The About command (menu bar and system menu): runs a new about box.
    virtual void OnAbout();
    // Tools > VPK Viewer/Extracter: a new viewer on the installation's packs.
    virtual void OpenViewer();

private:
    // A viewer's closing notice: WM_DESTROY with the viewer as first parameter.
    // Its window goes at once; its object is parked like CloseViewers' ones.
    void OnViewerClosed(WPARAM viewer);
    // `v` is still among the open viewers (not closed meanwhile).
    bool IsOpen(const viewer::VpkViewerDialog* v) const;
    LRESULT OnClose();
    // Destroys every viewer's window, in order. The objects are deleted with
    // this window's object: a viewer may be closed from inside one of its own
    // handlers (its message box lets this window's close or the viewer's own
    // closing notice in), which must find the object still there when the
    // box returns.
    void CloseViewers();
    LRESULT OnSysCommand(WPARAM command, LPARAM lp);
    LRESULT OnPaint();
    LRESULT OnSize(WPARAM type, int cx, int cy);
    LRESULT OnEraseBackground(HDC dc);
    LRESULT OnQueryDragIcon() const;
    LRESULT OnCommand(WPARAM wp, LPARAM lp);
    // The picture over the whole client area, drawn now through a window DC.
    void DrawClientBackground();
    void ReleasePicture();

    // A new, empty viewer on the installation's pack folder (if any).
    viewer::VpkViewerDialog* NewViewer();

    std::vector<viewer::VpkViewerDialog*> viewers;
    std::vector<viewer::VpkViewerDialog*> closedViewers;  // windows gone, objects kept
    std::vector<std::string> startupPacks;
    IPicture* picture = nullptr;
    std::string installPath;
    HICON icon = nullptr;
};

// Decodes the JPEG resource `id` (type "JPG") of the program's module into
// `picture`, releasing what it held once the new one is about to be decoded.
// Each failure is shown in a message box and gives false. LoadBackground's
// work, open to tests that feed it resources of their own.
bool LoadJpegResource(int id, IPicture*& picture);

// The minimised window's face: `icon` at the system's icon size, centred in
// `client`.
void DrawMinimisedIcon(HDC dc, HICON icon, const win::Rect& client);

}  // namespace app
