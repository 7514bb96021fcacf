#include "viewer/EntryActions.h"

#include <vector>

#include "resource.h"
#include "viewer/ViewerKeyboard.h"
#include "win/FileDialog.h"
#include "win/Menu.h"
#include "win/MessageBox.h"

namespace viewer {
namespace {

constexpr UINT kExtractionTick = 50;  // ms
constexpr const char* kChooseFolderTitle = "Extract the entries below this folder:";

// The folder the last "Extract to..." of this run of the program wrote below.
std::string& LastExtractionFolder() {
    static std::string folder;
    return folder;
}

}  // namespace

EntryActions::EntryActions(win::Window& viewerWindow, EntryListPane& entryList,
                           const std::shared_ptr<VpkArchive>& pack, const std::string& folder)
    : viewer(viewerWindow), entries(entryList), archive(pack), packFolder(folder) {}

EntryActions::~EntryActions() {
    End(false);
}

void EntryActions::ShowMenu(POINT screen) {
    if (NextSelected(entries.Handle(), -1) < 0) return;
    win::Menu menu = win::Menu::Load(IDR_ENTRY_POPUP);
    HMENU popup = menu.SubMenu(0);
    if (popup == nullptr) return;
    // Without the installation the current directory is not the game's.
    const bool canExtract = !packFolder.empty();
    if (!canExtract) ::EnableMenuItem(popup, ID_EXTRACT, MF_BYCOMMAND | MF_GRAYED);
    const int command =
        win::ShowPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, viewer.Handle());
    menu.Reset();
    if (command == ID_EXTRACT_TO || command == ID_EXTRACT_ALL_TO) {
        ExtractTo(command == ID_EXTRACT_ALL_TO);
    } else if (command == ID_EXTRACT && canExtract) {
        ExtractHere();
    }
}

void EntryActions::ExtractHere() {
    // Each failure shows its message and the walk goes on, unless the window
    // was closed while a message was up.
    const std::shared_ptr<VpkArchive> pack = archive;
    win::MessageBoxOwner boxes(viewer.Handle());
    for (const ExtractionItem& row : entries.SelectedEntries()) {
        if (!viewer.IsWindow()) break;
        pack->Extract(row.index, row.name.c_str());
    }
}

void EntryActions::ExtractTo(bool all) {
    if (extraction) return;
    std::vector<ExtractionItem> items;
    auto add = [&](std::uint32_t index) {
        if (const VpkEntry* entry = archive->GetEntry(index)) items.push_back({index, entry->name});
    };
    if (all) {
        // All the rows shown: a filter narrows "all" too.
        for (std::uint32_t index : entries.ShownEntries()) add(index);
    } else {
        for (const ExtractionItem& row : entries.SelectedEntries()) add(row.index);
    }
    if (items.empty()) return;
    std::string folder = LastExtractionFolder();
    HWND owner = viewer.Handle();
    if (!win::ShowFolderDialog(owner, kChooseFolderTitle, folder) || folder.empty() || !viewer.IsWindow()) return;
    LastExtractionFolder() = folder;
    if (folder.back() != '\\' && folder.back() != '/') folder += '\\';

    progress = std::make_unique<ExtractProgressDialog>([this] {
        if (extraction) extraction->Cancel();
    });
    progress->SetProgress(0, items.size());
    // The viewer waits for the run as it would for a modal box; the main
    // window and other viewers stay usable.
    ::EnableWindow(owner, FALSE);
    if (progress->Create(owner)) {
        progressWindow = progress->Handle();
        AddKeyboardWindow(progressWindow);
        progress->Show(SW_SHOW);
    }
    extraction = std::make_unique<BulkExtraction>(archive->GetPath(), std::move(items), folder);
    viewer.SetTimer(kExtractionTimer, kExtractionTick);
    OnTimer();
}

void EntryActions::OnTimer() {
    if (!extraction) return;
    if (progress) progress->SetProgress(extraction->Done(), extraction->Total());
    if (extraction->Finished()) End(true);
}

void EntryActions::End(bool report) {
    if (!extraction) return;
    viewer.KillTimer(kExtractionTimer);
    extraction->Cancel();  // nothing left to stop when it has finished
    extraction->Wait();
    const std::string summary = ExtractionSummary(*extraction);
    extraction.reset();
    // Enabled before its box goes, so the activation comes back here.
    ::EnableWindow(viewer.Handle(), TRUE);
    if (progressWindow != nullptr) RemoveKeyboardWindow(progressWindow);
    progressWindow = nullptr;
    progress.reset();
    if (report && !summary.empty()) win::MessageBox(summary, MB_OK | MB_ICONEXCLAMATION, nullptr, viewer.Handle());
}

}  // namespace viewer
