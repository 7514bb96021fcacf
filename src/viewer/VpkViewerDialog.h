// VpkViewerDialog: the modeless "VPK Viewer" window (dialog 130).
//
// Three panes: the pack files at the top left, the entries of the pack last
// clicked below them, and a text preview on the right, with a draggable
// divider between the lists and one between the lists and the preview.
// The main window drives it:
//
//     auto* viewer = new VpkViewerDialog;
//     viewer->SetOwner(mainWindow);           // told when the viewer closes
//     viewer->SetPackFolder(install + "\\Vampire\\");
//     viewer->Create(mainWindow);
//     viewer->AddPack(path);                  // once per pack file
//
// Closing the window (close box, system menu) closes the pack and posts the
// owner WM_DESTROY with the viewer's address as the first parameter, once; the owner then destroys the window and deletes the
// object. The viewer owns its lists, dividers, list font and archive.
#pragma once

#include <memory>
#include <string>

#include "skin/SkinListCtrl.h"
#include "skin/SplitterBar.h"
#include "viewer/BulkExtraction.h"
#include "viewer/ExtractProgress.h"
#include "vpk/VpkArchive.h"
#include "win/Dialog.h"
#include "win/Gdi.h"

namespace viewer {

// The entry types shown in the preview, compared exactly after lower-casing.
bool IsPreviewableType(const std::string& lowerCaseType);

// The preview's text: `bytes` up to its first zero byte, with every line feed
// not preceded by a carriage return given one, so text written with bare line
// feeds shows as separate lines. Empty when `bytes` starts with a zero.
std::string PreviewText(const char* bytes, std::size_t size);

// One column of a list: title and width in pixels.
struct ListColumn {
    const char* title;
    int width;
};

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
    std::string GetSelectedPackPath() const;

    skin::SkinListCtrl& PackList() { return packList; }
    skin::SkinListCtrl& EntryList() { return entryList; }
    const VpkArchive& Archive() const { return archive; }
    SplitterBar& HorizontalDivider() { return horizontalDivider; }
    SplitterBar& VerticalDivider() { return verticalDivider; }
    // While an "Extract to..." run goes on: the viewer is disabled and the
    // progress window shows where the run stands.
    bool IsExtracting() const { return extraction != nullptr; }
    ExtractProgressDialog* Progress() { return progress.get(); }

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
    void ShowEntryMenu(POINT screen);
    // "Extract to..." (the selected entries) or "Extract all to...": asks
    // for a folder, then writes on another thread with a progress window.
    void ExtractTo(bool all);
    void OnExtractionTimer();
    // Stops the run, if any (waiting for the entry being written), closes
    // the progress window and enables the viewer again; with `report`, the
    // run's summary follows when there is one.
    void EndExtraction(bool report);
    void OnDestroyWindow();
    // The size, position and dividers the last viewer closed with, when
    // they still fit.
    void RestorePlacement();
    // Files dropped from the shell: packs are added, a folder's packs
    // (directly inside it, by name), anything else is named in one message.
    LRESULT OnDropFiles(WPARAM drop);  // an HDROP
    // A click on an entry column's header: sorts by it, reversed on the
    // second click.
    LRESULT OnEntryColumnClick(int column);
    void SortEntries();
    static int CALLBACK CompareEntries(LPARAM first, LPARAM second, LPARAM viewer);
    void OnFileOpen();

    void InitPackList();
    void InitEntryList();
    void InitList(skin::SkinListCtrl& list, const ListColumn* columns, int count);
    void CreateDividers();
    void OnHorizontalDividerMoved(int delta);
    void OnVerticalDividerMoved(int delta);
    // Replaces the entry rows with the loaded archive's entries.
    void FillEntryList();
    void ShowPreview(std::uint32_t index);

    std::string packFolder;
    skin::SkinListCtrl entryList;
    skin::SkinListCtrl packList;
    VpkArchive archive;
    win::Font listFont;
    SplitterBar horizontalDivider;
    SplitterBar verticalDivider;
    HWND owner = nullptr;
    std::unique_ptr<BulkExtraction> extraction;
    std::unique_ptr<ExtractProgressDialog> progress;
    // Kept apart: the progress window goes before its object when it goes
    // with the viewer's window.
    HWND progressWindow = nullptr;
    int sortColumn = -1;  // the entry column the rows are sorted by, or -1: pack order
    bool sortAscending = true;
    bool laidOut = false;      // the controls exist: OnSize may place them
    bool closeNoticeSent = false;
};

}  // namespace viewer
