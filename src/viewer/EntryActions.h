// What the viewer's entry pop-up does: "&Extract" (the selected entries,
// below the current directory, one message per failure) and "Extract to..."
// / "Extract all to..." (below a folder the user picks, on another thread,
// with a progress window; the viewer is disabled while it runs); on one
// selected texture half, "Save as PNG..." and "Save as VTF..." (the texture
// written where the save dialog says, whole or not at all); and the shell's
// gestures: "&Open" (the default item, also a double-click or Enter: the
// entry with the caret, extracted to this run's temporary folder and opened
// with the program its type is associated with), "&Copy" (Ctrl+C: the
// selected entries on the clipboard as files) and a drag out of the list.
// A directory pack's rows give nothing to open, copy or drag.
//
// The viewer owns one EntryActions and forwards to it: the menu requests,
// its extraction timer (kExtractionTimer) and its closing (End).
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "viewer/BulkExtraction.h"
#include "viewer/EntryListPane.h"
#include "viewer/ExtractProgress.h"
#include "viewer/TakeOut.h"
#include "vpk/VpkArchive.h"
#include "win/Window.h"

namespace viewer {

// The timer that brings the progress window up to date.
constexpr UINT_PTR kExtractionTimer = 1;

class EntryActions {
public:
    // `archive` is read at each command: the viewer may replace it.
    EntryActions(win::Window& viewer, EntryListPane& entries, const std::shared_ptr<VpkArchive>& archive,
                 const std::string& packFolder);
    ~EntryActions();
    EntryActions(const EntryActions&) = delete;
    EntryActions& operator=(const EntryActions&) = delete;

    // Shows the pop-up at `screen` when a row is selected, and does what was
    // chosen. "&Extract" is greyed without an installation folder.
    void ShowMenu(POINT screen);
    // "Extract to..." (the selected entries) or "Extract all to..." (every
    // row shown, in list order): asks
    // for a folder, then writes on another thread with a progress window.
    void ExtractTo(bool all);
    // "Save as PNG..." or "Save as VTF...": the texture the selected entry
    // is a half of, rebuilt (and for a PNG decoded), then written where the
    // user says; a refusal or a failed write gets a message box.
    void SaveTexture(bool png);
    // "&Open": the entry is reused when it was extracted before and its file
    // is unchanged; without an associated program, the "Open with" dialog.
    void Open();
    // "&Copy": the selected entries on the clipboard, as files to paste.
    void Copy();
    // A drag of the selected rows, until the button goes up; the files are
    // made when the drop target asks for them.
    void Drag();
    void OnTimer();
    // Stops the run, if any (waiting for the entry being written), closes
    // the progress window and enables the viewer again; with `report`, the
    // run's summary follows when there is one.
    void End(bool report);

    bool IsExtracting() const { return extraction != nullptr; }
    ExtractProgressDialog* Progress() { return progress.get(); }

private:
    void ExtractHere();
    // The selected entries a gesture may take out: none in a directory pack
    // or while a run goes on.
    std::vector<ExtractionItem> TakeableEntries() const;
    // Writes `items` below a new folder of this run's temporary folder,
    // waiting. Failures are said in a message at once,
    // or kept in `later` when given.
    TakenOut TakeOut(std::vector<ExtractionItem> items, std::string* later = nullptr);

    win::Window& viewer;
    EntryListPane& entries;
    const std::shared_ptr<VpkArchive>& archive;
    const std::string& packFolder;
    std::unique_ptr<BulkExtraction> extraction;
    std::unique_ptr<ExtractProgressDialog> progress;
    // Kept apart: the progress window goes before its object when it goes
    // with the viewer's window.
    HWND progressWindow = nullptr;
};

}  // namespace viewer
