// What the viewer's entry pop-up does: "&Extract" (the selected entries,
// below the current directory, one message per failure) and "Extract to..."
// / "Extract all to..." (below a folder the user picks, on another thread,
// with a progress window; the viewer is disabled while it runs); on one
// selected texture half, "Save as PNG..." and "Save as VTF..." (the texture
// written where the save dialog says, whole or not at all).
//
// The viewer owns one EntryActions and forwards to it: the menu requests,
// its extraction timer (kExtractionTimer) and its closing (End).
#pragma once

#include <memory>
#include <string>

#include "viewer/BulkExtraction.h"
#include "viewer/EntryListPane.h"
#include "viewer/ExtractProgress.h"
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
    void OnTimer();
    // Stops the run, if any (waiting for the entry being written), closes
    // the progress window and enables the viewer again; with `report`, the
    // run's summary follows when there is one.
    void End(bool report);

    bool IsExtracting() const { return extraction != nullptr; }
    ExtractProgressDialog* Progress() { return progress.get(); }

private:
    void ExtractHere();

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
