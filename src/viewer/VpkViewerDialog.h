// VpkViewerDialog: the modeless "VPK Viewer" window (dialog 130).
//
// Three panes: the pack files at the top left, the entries of the pack last
// clicked below them, and a preview on the right (text or hex, with a line
// saying what it shows), with a draggable divider between the lists and one
// between the lists and the preview. The window lays the panes out and wires
// them together; the lists, the preview views and the entry commands are
// classes of their own. The main window drives it:
//
//     auto* viewer = new VpkViewerDialog;
//     viewer->SetOwner(mainWindow);           // told when the viewer closes
//     viewer->SetPackFolder(install + "\\Vampire\\");
//     viewer->Create(mainWindow);
//     viewer->AddPack(path);                  // once per pack file
//
// Closing the window (close box, system menu) closes the pack and posts the
// owner WM_DESTROY with the viewer's address as the first parameter, once;
// the owner then destroys the window and deletes the object. The viewer owns
// its lists, dividers, list font, preview view and archive.
#pragma once

#include <memory>
#include <string>

#include "skin/SplitterBar.h"
#include "viewer/EntryActions.h"
#include "viewer/EntryListPane.h"
#include "viewer/FilterBox.h"
#include "viewer/FindInPacks.h"
#include "viewer/PackListPane.h"
#include "viewer/preview/PreviewView.h"
#include "vpk/VpkArchive.h"
#include "win/Dialog.h"
#include "win/Gdi.h"

namespace viewer {

class VpkViewerDialog : public win::Dialog {
public:
    VpkViewerDialog();
    ~VpkViewerDialog() override;

    void SetOwner(HWND window) { owner = window; }
    // The installation's pack folder, ending in a backslash.
    void SetPackFolder(const std::string& folder) { packFolder = folder; }
    const std::string& PackFolder() const { return packFolder; }

    // Appends a row for the pack at `path` when its footer can be read;
    // otherwise the archive has shown why and nothing is added.
    void AddPack(const char* path);
    // Selects pack row `row` and loads it, as a click on it does; nothing
    // when there is no such row.
    void LoadPackRow(int row);
    // The "VPK FILE" cell of the selected pack row, or empty.
    std::string GetSelectedPackPath() const { return packList.SelectedPath(); }

    skin::SkinListCtrl& PackList() { return packList; }
    EntryListPane& EntryList() { return entryList; }
    // The filter box above the entry list (Ctrl+F; Escape empties it).
    FilterBox& Filter() { return filterBox; }
    // Loads the pack of row `path` (the first row listing it), selects entry
    // `index` alone, scrolls it into view and previews it; a filter that
    // hides the entry is emptied first. False when no row lists the pack,
    // the pack can't be loaded, its entry `index` is no longer `name`, or the
    // viewer is disabled (a box, a chooser or an extraction run is up).
    bool ShowEntry(const std::string& path, std::uint32_t index, const std::string& name);
    // "Find in all packs..." (Ctrl+Shift+F): opens the search window over
    // every pack listed; null until first opened.
    void OnFindInPacks();
    FindInPacksDialog* FindWindow() { return findWindow.get(); }
    const VpkArchive& Archive() const { return *archive; }
    SplitterBar& HorizontalDivider() { return horizontalDivider; }
    SplitterBar& VerticalDivider() { return verticalDivider; }
    // While an "Extract to..." run goes on: the viewer is disabled and the
    // progress window shows where the run stands.
    bool IsExtracting() const { return actions.IsExtracting(); }
    ExtractProgressDialog* Progress() { return actions.Progress(); }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    // Divider moves arrive here: their WM_NOTIFY has no handler of its own.
    LRESULT DefaultProc(UINT msg, WPARAM wp, LPARAM lp) override;
    BOOL OnInitDialog() override;

private:
    LRESULT OnClose();
    LRESULT OnSize(WPARAM type, int cx, int cy);
    LRESULT OnPaint();
    LRESULT OnNotify(WPARAM wp, LPARAM lp);
    LRESULT OnCommand(WPARAM wp, LPARAM lp);

    LRESULT OnPackListItemChanged();
    LRESULT OnPackListClick();
    LRESULT OnEntryListClick();
    LRESULT OnEntryListRightClick();
    LRESULT OnEntryListKeyDown(const NMLVKEYDOWN& key);
    // The context-menu key or Shift+F10 (the point is -1, -1), or a right
    // click the list passed on (already handled through NM_RCLICK).
    LRESULT OnContextMenu(HWND window, LPARAM point);
    // Enter, as the dialog manager turns it into IDOK: acts on the list that
    // has the focus as a double-click would.
    void OnEnter();
    void OnDestroyWindow();
    // The size, position and dividers the last viewer closed with, when
    // they still fit.
    void RestorePlacement();
    void SavePlacement();
    // Files dropped from the shell: packs are added, a folder's packs
    // (directly inside it, by name), anything else is named in one message.
    LRESULT OnDropFiles(WPARAM drop);  // an HDROP
    void OnFileOpen();
    // The filter box's text changed: the entry list and the strip's count follow.
    void OnFilterChanged();
    // Its caption counts the rows shown while a filter is set.
    void RepaintContentsStrip();

    void CreateDividers();
    void Layout();
    void OnHorizontalDividerMoved(int delta);
    void OnVerticalDividerMoved(int delta);

    // Hides the preview and its status line, then shows entry `index` in the
    // view of its kind, if it has one.
    void ShowPreview(std::uint32_t index);
    void HidePreview();
    // Puts a view of `kind` in the current view's place (same id, rectangle
    // and tab order).
    bool ReplacePreview(preview::PreviewKind kind);

    std::string packFolder;
    EntryListPane entryList;
    FilterBox filterBox;
    PackListPane packList;
    // Shared with a view that reads from it while it shows (the hex view):
    // a pack loaded meanwhile gets an archive of its own.
    std::shared_ptr<VpkArchive> archive;
    win::Font listFont;
    SplitterBar horizontalDivider;
    SplitterBar verticalDivider;
    HWND owner = nullptr;
    std::unique_ptr<preview::PreviewView> preview;
    EntryActions actions;
    std::unique_ptr<FindInPacksDialog> findWindow;
    bool laidOut = false;      // the controls exist: OnSize may place them
    bool closeNoticeSent = false;
};

}  // namespace viewer
