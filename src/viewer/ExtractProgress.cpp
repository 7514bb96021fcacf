#include "viewer/ExtractProgress.h"

#include <utility>

#include "resource.h"
#include "skin/SkinColors.h"
#include "viewer/BulkExtraction.h"
#include "win/Gdi.h"

namespace viewer {

ExtractProgressDialog::ExtractProgressDialog(std::function<void()> onCancel)
    : Dialog(IDD_EXTRACT_PROGRESS), cancel(std::move(onCancel)) {}

BOOL ExtractProgressDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    // Over the middle of the viewer it belongs to, not of the screen.
    if (HWND owner = ::GetWindow(Handle(), GW_OWNER)) {
        const win::Rect over = win::WindowRect(owner), own = WindowRect();
        const int x = over.left + (over.Width() - own.Width()) / 2, y = over.top + (over.Height() - own.Height()) / 2;
        SetPosition({x, y, x + own.Width(), y + own.Height()});
    }
    SetProgress(done, total);
    return TRUE;
}

void ExtractProgressDialog::SetProgress(std::size_t doneNow, std::size_t totalNow) {
    const bool changed = doneNow != done || totalNow != total;
    done = doneNow;
    total = totalNow;
    if (!IsWindow() || cancelling) return;
    std::string text = "Extracting ";
    text.append(CountOfEntries(done, total));
    ::SetDlgItemTextA(Handle(), IDC_EXTRACT_TEXT, text.c_str());
    if (changed) ::InvalidateRect(Item(IDC_EXTRACT_BAR), nullptr, FALSE);
}

int ExtractProgressDialog::FilledWidth() const {
    const int width = win::ClientRect(Item(IDC_EXTRACT_BAR)).Width() - 2;
    if (total == 0 || width <= 0) return 0;
    return static_cast<int>(static_cast<double>(width) * static_cast<double>(done) / static_cast<double>(total));
}

LRESULT ExtractProgressDialog::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDCANCEL) OnCancel();
        return 0;
    case WM_CLOSE: OnCancel(); return 0;
    case WM_DRAWITEM: return OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    default: return Dialog::HandleMessage(msg, wp, lp);
    }
}

void ExtractProgressDialog::OnCancel() {
    if (cancelling) return;
    cancelling = true;
    ::SetDlgItemTextA(Handle(), IDC_EXTRACT_TEXT, "Stopping after the entry being written...");
    ::EnableWindow(Item(IDCANCEL), FALSE);
    if (cancel) cancel();
}

// A red frame, filled in red as far as the run has got, black beyond.
LRESULT ExtractProgressDialog::OnDrawItem(const DRAWITEMSTRUCT& item) {
    if (item.CtlID != IDC_EXTRACT_BAR) return FALSE;
    const win::Rect bar{item.rcItem.left, item.rcItem.top, item.rcItem.right, item.rcItem.bottom};
    win::Draw3dRect(item.hDC, bar, skin::kHeaderText, skin::kHeaderText);
    const win::Rect inside{bar.left + 1, bar.top + 1, bar.right - 1, bar.bottom - 1};
    const int filled = FilledWidth();
    win::FillSolidRect(item.hDC, {inside.left, inside.top, inside.left + filled, inside.bottom}, skin::kHeaderText);
    win::FillSolidRect(item.hDC, {inside.left + filled, inside.top, inside.right, inside.bottom},
                       skin::kSelectedBackground);
    return TRUE;
}

}  // namespace viewer
