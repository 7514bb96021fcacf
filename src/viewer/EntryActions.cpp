#include "viewer/EntryActions.h"

#include <map>
#include <new>
#include <optional>
#include <tuple>
#include <vector>

#include "resource.h"
#include "texture/ImageFiles.h"
#include "texture/TexturePair.h"
#include "viewer/EntryDrag.h"
#include "viewer/RunFolder.h"
#include "viewer/TakeOut.h"
#include "viewer/ViewerKeyboard.h"
#include "win/FileDialog.h"
#include "win/Menu.h"
#include "win/MessageBox.h"
#include "win/Shell.h"

namespace viewer {
namespace {

constexpr UINT kExtractionTick = 50;  // ms
constexpr const char* kChooseFolderTitle = "Extract the entries below this folder:";

// The folder the last "Extract to..." of this run of the program wrote below.
std::string& LastExtractionFolder() {
    static std::string folder;
    return folder;
}

// The folder the last "Save as ..." of this run of the program wrote in.
std::string& LastSaveFolder() {
    static std::string folder;
    return folder;
}

// The texture of the only selected entry when it is a texture's half of
// `pack`: not a directory pack's row, nor a row left from a pack that failed
// to load (the list still shows the previous pack's rows).
texture::TexturePair SelectedTexture(const EntryListPane& entries, const VpkArchive& pack) {
    const std::vector<ExtractionItem> selected = entries.SelectedEntries();
    if (selected.size() != 1 || !texture::IsTextureName(selected[0].name.c_str())) return {};
    const VpkEntry* entry = pack.GetEntry(selected[0].index);
    if (entry == nullptr || selected[0].name != entry->name) return {};
    return texture::TexturePairs(pack).PairOf(selected[0].index);
}

// "NAME.png" for a texture named "folder/NAME.tth".
std::string SaveName(const std::string& textureName, const char* extension) {
    const std::size_t slash = textureName.find_last_of("/\\");
    std::string name = textureName.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::size_t dot = name.rfind('.');
    return name.substr(0, dot) + "." + extension;
}

// An entry opened before, and its file as it was written.
struct OpenedFile {
    std::string path;
    WIN32_FILE_ATTRIBUTE_DATA written;
};
// Which entry: its pack (path, size and last write), number, name and where
// its data lies. A pack written again, its entries where they were with other
// bytes, is another pack.
using OpenedKey = std::tuple<std::string, std::uint64_t, std::uint64_t, std::uint32_t, std::string, std::uint32_t,
                             std::uint32_t>;

std::map<OpenedKey, OpenedFile>& OpenedFiles() {
    static std::map<OpenedKey, OpenedFile> opened;
    return opened;
}

bool Attributes(const std::string& path, WIN32_FILE_ATTRIBUTE_DATA& data) {
    return ::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data) != FALSE;
}

// Still there, and neither written nor resized since it was extracted.
bool Unchanged(const OpenedFile& file) {
    WIN32_FILE_ATTRIBUTE_DATA now{};
    return Attributes(file.path, now) && now.nFileSizeLow == file.written.nFileSizeLow &&
           now.nFileSizeHigh == file.written.nFileSizeHigh &&
           ::CompareFileTime(&now.ftLastWriteTime, &file.written.ftLastWriteTime) == 0;
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
    ::SetMenuDefaultItem(popup, ID_OPEN_ENTRY, FALSE);
    if (TakeableEntries().empty()) {
        ::EnableMenuItem(popup, ID_OPEN_ENTRY, MF_BYCOMMAND | MF_GRAYED);
        ::EnableMenuItem(popup, ID_COPY_ENTRIES, MF_BYCOMMAND | MF_GRAYED);
    }
    if (!SelectedTexture(entries, *archive).IsTexture()) {
        ::EnableMenuItem(popup, ID_SAVE_AS_PNG, MF_BYCOMMAND | MF_GRAYED);
        ::EnableMenuItem(popup, ID_SAVE_AS_VTF, MF_BYCOMMAND | MF_GRAYED);
    }
    const int command =
        win::ShowPopupMenu(popup, TPM_RIGHTBUTTON | TPM_RETURNCMD, screen.x, screen.y, viewer.Handle());
    menu.Reset();
    if (command == ID_EXTRACT_TO || command == ID_EXTRACT_ALL_TO) {
        ExtractTo(command == ID_EXTRACT_ALL_TO);
    } else if (command == ID_EXTRACT && canExtract) {
        ExtractHere();
    } else if (command == ID_SAVE_AS_PNG || command == ID_SAVE_AS_VTF) {
        SaveTexture(command == ID_SAVE_AS_PNG);
    } else if (command == ID_OPEN_ENTRY) {
        Open();
    } else if (command == ID_COPY_ENTRIES) {
        Copy();
    }
}

std::vector<ExtractionItem> EntryActions::TakeableEntries() const {
    if (extraction || !archive->GetEntry(0) || archive->IsDirectoryPack()) return {};
    return entries.SelectedEntries();
}

TakenOut EntryActions::TakeOut(std::vector<ExtractionItem> items, std::string* later) {
    if (items.empty()) return {};
    const std::string folder = ProgramRunFolders().NewGestureFolder();
    if (folder.empty()) {
        win::MessageBox("Can't make a temporary folder below " + TemporaryRoot(), MB_OK | MB_ICONEXCLAMATION,
                        nullptr, viewer.Handle());
        return {};
    }
    TakenOut out = ExtractAndWait(viewer.Handle(), archive->GetPath(), std::move(items), folder);
    if (later != nullptr) {
        *later = out.summary;
    } else if (!out.summary.empty() && viewer.IsWindow()) {
        win::MessageBox(out.summary, MB_OK | MB_ICONEXCLAMATION, nullptr, viewer.Handle());
    }
    return out;
}

void EntryActions::Open() {
    std::vector<ExtractionItem> selected = TakeableEntries();
    if (selected.empty()) return;
    // The row with the caret when it is selected, else the first selected.
    const int caret = static_cast<int>(entries.Send(LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    const std::uint32_t focused = entries.RowEntryIndex(caret);
    ExtractionItem item = selected.front();
    for (const ExtractionItem& row : selected) {
        if (row.index == focused) item = row;
    }
    const VpkEntry* entry = archive->GetEntry(item.index);
    WIN32_FILE_ATTRIBUTE_DATA pack{};
    Attributes(archive->GetPath(), pack);
    const OpenedKey key{archive->GetPath(),
                        std::uint64_t{pack.nFileSizeHigh} << 32 | pack.nFileSizeLow,
                        std::uint64_t{pack.ftLastWriteTime.dwHighDateTime} << 32 | pack.ftLastWriteTime.dwLowDateTime,
                        item.index,
                        item.name,
                        entry->dataOffset,
                        entry->dataSize};
    std::string path;
    const auto before = OpenedFiles().find(key);
    if (before != OpenedFiles().end() && Unchanged(before->second)) {
        path = before->second.path;
    } else {
        const TakenOut out = TakeOut({std::move(item)});
        if (out.written.empty()) return;
        path = out.written.front();
        OpenedFile opened{path, {}};
        if (Attributes(path, opened.written)) OpenedFiles()[key] = opened;
    }
    HWND owner = viewer.Handle();
    const std::string folder = path.substr(0, path.find_last_of('\\'));
    // Without a program for its type, the system asks which one.
    if (win::ShellExecute(owner, "open", path.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL) > 32) return;
    if (win::ShellExecute(owner, "openas", path.c_str(), nullptr, folder.c_str(), SW_SHOWNORMAL) > 32) return;
    win::MessageBox("Can't open " + path, MB_OK | MB_ICONEXCLAMATION, nullptr, owner);
}

void EntryActions::Copy() {
    const std::vector<std::string> files = TakeOut(TakeableEntries()).offered;
    if (!files.empty() && !PutFilesOnClipboard(viewer.Handle(), files)) {
        win::MessageBox("Can't put the entries on the clipboard", MB_OK | MB_ICONEXCLAMATION, nullptr, viewer.Handle());
    }
}

void EntryActions::Drag() {
    std::vector<ExtractionItem> items = TakeableEntries();
    if (items.empty()) return;
    std::string summary;
    DragFilesOut(viewer.Handle(), [&] { return TakeOut(std::move(items), &summary).offered; });
    // Said once the drop is over: a box inside it would hold the target up.
    if (!summary.empty() && viewer.IsWindow()) {
        win::MessageBox(summary, MB_OK | MB_ICONEXCLAMATION, nullptr, viewer.Handle());
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

void EntryActions::SaveTexture(bool png) {
    const std::shared_ptr<VpkArchive> pack = archive;
    const texture::TexturePair pair = SelectedTexture(entries, *pack);
    if (!pair.IsTexture()) return;
    HWND owner = viewer.Handle();
    win::MessageBoxOwner boxes(owner);
    // Refused before the user is asked where to put it.
    std::vector<unsigned char> file;
    std::string why;
    try {
        texture::LoadedTexture loaded;
        if (!texture::LoadTexture(*pack, pair, loaded, why)) {
            win::MessageBox(why);
            return;
        }
        std::vector<unsigned char> rgba;
        if (!png) {
            file = std::move(loaded.vtf);
        } else if (!texture::DecodeLargestImage(loaded.vtf.data(), loaded.info, rgba, why) ||
                   !texture::EncodePng(rgba.data(), loaded.info.width, loaded.info.height, file)) {
            win::MessageBox(texture::TextureName(*pack, pair) + ": " + (why.empty() ? "can't encode it" : why));
            return;
        }
    } catch (const std::bad_alloc&) {
        win::MessageBox(texture::TextureName(*pack, pair) + ": not enough memory to save it");
        return;
    }

    const char* extension = png ? "png" : "vtf";
    char path[MAX_PATH] = {};
    const std::string name = SaveName(texture::TextureName(*pack, pair), extension);
    name.copy(path, sizeof path - 1);
    OPENFILENAMEA request{};
    request.lStructSize = sizeof request;
    request.hwndOwner = owner;
    request.lpstrFilter = png ? "PNG image (*.png)\0*.png\0All files (*.*)\0*.*\0"
                              : "VTF texture (*.vtf)\0*.vtf\0All files (*.*)\0*.*\0";
    request.lpstrFile = path;
    request.nMaxFile = sizeof path;
    request.lpstrInitialDir = LastSaveFolder().empty() ? nullptr : LastSaveFolder().c_str();
    request.lpstrDefExt = extension;
    request.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!win::ShowSaveFileDialog(request) || !viewer.IsWindow()) return;
    const std::string chosen = path;
    const std::size_t slash = chosen.find_last_of("\\/");
    if (slash != std::string::npos) LastSaveFolder() = chosen.substr(0, slash);
    if (!texture::WriteFileWhole(chosen, file)) win::MessageBox("Can't write " + chosen);
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
