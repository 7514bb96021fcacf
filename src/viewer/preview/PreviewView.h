// PreviewView: one kind of view in the viewer's preview pane.
//
// The viewer holds one view at a time, always the child with the preview's
// control id. For each entry clicked it asks PickPreviewKind which kind shows
// it, makes a view of that kind with MakePreviewView when the current one is
// of another kind, and asks the view to Show the entry:
//
//     PreviewKind kind = PickPreviewKind(*archive, index);
//     if (kind != view->Kind()) { view = MakePreviewView(kind); view->Create(dialog, id, rect); }
//     view->Show(archive, index);
//
// A new kind of view is a class of its own deriving from PreviewView, a value
// of PreviewKind, and a case in PickPreviewKind and MakePreviewView.
#pragma once

#include <cstdint>
#include <memory>

#include "viewer/preview/PreviewKind.h"
#include "viewer/preview/PreviewStatus.h"
#include "vpk/VpkArchive.h"
#include "win/Geometry.h"

namespace viewer::preview {

class PreviewView {
public:
    virtual ~PreviewView() = default;

    virtual PreviewKind Kind() const = 0;
    // Creates the view's window, hidden, as control `id` of `parent` over
    // `rect` (the parent's client coordinates).
    virtual bool Create(HWND parent, int id, const win::Rect& rect) = 0;
    // Shows entry `index` of `archive`, which the view may keep reading from
    // until it is cleared. False when the entry can't be shown: the archive
    // or a message box has said why, and the view is left clear.
    virtual bool Show(const std::shared_ptr<VpkArchive>& archive, std::uint32_t index) = 0;
    // Forgets the entry, and the archive with it.
    virtual void Clear() = 0;
    // The window to place, show and hide.
    virtual HWND Window() const = 0;
    // The status line for the entry shown: its name, size and kind of view
    // unless the view says more.
    virtual std::string StatusText(const VpkEntry& entry) const { return PreviewStatusText(entry, Kind()); }
};

// The kind that shows entry `index` of `archive`: a texture's half (a name
// ending in .tth or .ttz, empty or not) as Texture, a text type by its name,
// anything else by its first bytes, which are read for that (a read that
// fails has shown its message and gives None). None for directory rows,
// other empty entries and a closed archive.
PreviewKind PickPreviewKind(VpkArchive& archive, std::uint32_t index);

// A view of `kind`, its window not yet created; nullptr for None.
std::unique_ptr<PreviewView> MakePreviewView(PreviewKind kind);

}  // namespace viewer::preview
