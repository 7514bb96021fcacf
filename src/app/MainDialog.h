// The main window: the stretched background picture, the menu, the install
// path, and the pack viewers it opens.
#pragma once

#include <ocidl.h>
#include <olectl.h>

#include <string>

#include "win/Dialog.h"

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

    // Releases the picture, then destroys the window.
    bool DestroyWindow() override;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;

    // The About command (menu bar and system menu): runs a new about box.
    virtual void OnAbout();
    // Tools > VPK Viewer/Extracter: the viewer comes with its own change.
    virtual void OpenViewer() {}

private:
    LRESULT OnSysCommand(WPARAM command, LPARAM lp);
    LRESULT OnPaint();
    LRESULT OnSize(WPARAM type, int cx, int cy);
    LRESULT OnEraseBackground(HDC dc);
    LRESULT OnQueryDragIcon() const;
    LRESULT OnCommand(WPARAM wp, LPARAM lp);
    // The picture over the whole client area, drawn now through a window DC.
    void DrawClientBackground();
    void ReleasePicture();

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
