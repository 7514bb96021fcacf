#include "skin/SkinListCtrl.h"

#include "skin/MemDC.h"

namespace skin {
namespace {

// Carries whether the row being drawn was selected from its pre-paint to its
// post-paint stage. One for all lists: the two stages of an item follow each
// other on the one user-interface thread.
bool wasSelected = false;

// The bars use the id the dialog resources give their static texts.
constexpr int kScrollBarId = 0xFFFF;

// The flat scroll bar functions are missing from mingw's import library, so
// they are looked up in comctl32 itself.
void DisableFlatScrollBars(HWND list) {
    HMODULE comctl = ::GetModuleHandleA("comctl32.dll");
    if (comctl == nullptr) return;
    using InitializeFlatSBProc = BOOL(WINAPI*)(HWND);
    using EnableScrollBarProc = BOOL(WINAPI*)(HWND, int, UINT);
    auto initialize = reinterpret_cast<InitializeFlatSBProc>(
        reinterpret_cast<void*>(::GetProcAddress(comctl, "InitializeFlatSB")));
    auto enable = reinterpret_cast<EnableScrollBarProc>(
        reinterpret_cast<void*>(::GetProcAddress(comctl, "FlatSB_EnableScrollBar")));
    if (initialize != nullptr) initialize(list);
    if (enable != nullptr) enable(list, SB_BOTH, ESB_DISABLE_BOTH);
}

}  // namespace

void SkinListCtrl::PreSubclassWindow() {
    if (HWND headerWindow = reinterpret_cast<HWND>(Send(LVM_GETHEADER))) header.Subclass(headerWindow);
    Window::PreSubclassWindow();
}

void SkinListCtrl::InitSkin() {
    DisableFlatScrollBars(Handle());
    HWND parent = Parent();
    constexpr DWORD kBarStyle = WS_CHILD | WS_VISIBLE | WS_GROUP | SS_NOTIFY;
    vScrollBar.CreateAndSubclass("STATIC", "", kBarStyle, 0, {}, parent, kScrollBarId);
    hScrollBar.CreateAndSubclass("STATIC", "", kBarStyle, 0, {}, parent, kScrollBarId);
    vScrollBar.SetList(this);
    hScrollBar.SetList(this);
    PositionScrollBars();
    // Wine keeps drawing the list's own bars after the calls above; a frame
    // recalculation lets OnNcCalcSize take them away.
    ::SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void SkinListCtrl::PositionScrollBars() {
    if (!IsWindow()) return;
    const win::Rect list = RectInParent();
    constexpr UINT kFlags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (vScrollBar.IsWindow()) {
        vScrollBar.SetPosition(
            win::Rect::FromSize(list.right, list.top, SkinVScrollBar::kWidth, list.Height() + SkinHScrollBar::kHeight),
            kFlags);
    }
    if (hScrollBar.IsWindow()) {
        hScrollBar.SetPosition(win::Rect::FromSize(list.left, list.bottom, list.Width() + 1, SkinHScrollBar::kHeight),
                               kFlags);
    }
    hScrollBar.SyncToList();
    vScrollBar.SyncToList();
}

void SkinListCtrl::SyncScrollBars() {
    vScrollBar.SyncToList();
    hScrollBar.SyncToList();
}

LRESULT SkinListCtrl::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_NCCALCSIZE: return OnNcCalcSize(wp, lp);
    case WM_MOUSEWHEEL: return OnMouseWheel(wp, lp);
    case WM_KEYDOWN: return OnKeyDown(wp, lp);
    case WM_KEYUP: return OnKeyUp(wp, lp);
    case WM_ERASEBKGND: return OnEraseBkgnd();
    case WM_PAINT: return OnPaint();
    default: return Window::HandleMessage(msg, wp, lp);
    }
}

std::optional<LRESULT> SkinListCtrl::HandleReflectedMessage(UINT msg, WPARAM, LPARAM lp) {
    if (msg != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lp)->code != static_cast<UINT>(NM_CUSTOMDRAW)) {
        return std::nullopt;
    }
    return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lp));
}

// Runs whenever the list's frame is recalculated, which includes every
// change of its size by the owner: the bars follow the list.
LRESULT SkinListCtrl::OnNcCalcSize(WPARAM wp, LPARAM lp) {
    Update();
    // Wine draws the list's own bars even when they are flat and disabled,
    // and ShowScrollBar(FALSE) does not hold: without the styles the frame
    // has no room for them, while GetScrollInfo still reads the list's state.
    const DWORD style = Style();
    if (style & (WS_HSCROLL | WS_VSCROLL)) {
        ::SetWindowLongPtrA(Handle(), GWL_STYLE, static_cast<LONG_PTR>(style & ~(WS_HSCROLL | WS_VSCROLL)));
    }
    const LRESULT result = DefaultProc(WM_NCCALCSIZE, wp, lp);
    vScrollBar.Update();
    PositionScrollBars();
    return result;
}

// The bars are synchronised before the list moves; the repaint that follows
// the move synchronises them again.
LRESULT SkinListCtrl::OnMouseWheel(WPARAM wp, LPARAM lp) {
    SyncScrollBars();
    return DefaultProc(WM_MOUSEWHEEL, wp, lp);
}

LRESULT SkinListCtrl::OnKeyDown(WPARAM wp, LPARAM lp) {
    SyncScrollBars();
    return DefaultProc(WM_KEYDOWN, wp, lp);
}

LRESULT SkinListCtrl::OnKeyUp(WPARAM wp, LPARAM lp) {
    SyncScrollBars();
    return DefaultProc(WM_KEYUP, wp, lp);
}

// Nothing is erased: OnPaint covers the whole client area.
LRESULT SkinListCtrl::OnEraseBkgnd() {
    SyncScrollBars();
    return FALSE;
}

// The standard list view draws the rows into the off-screen surface; the
// header is left out of the copy because it paints itself.
LRESULT SkinListCtrl::OnPaint() {
    win::PaintDC paint(Handle());
    const win::Rect client = ClientRect();
    MemDC dc(paint.Get(), client);

    if (HWND headerWindow = header.IsWindow() ? header.Handle() : ::GetDlgItem(Handle(), 0)) {
        win::Rect headerRect = win::WindowRect(headerWindow);
        POINT corners[2] = {headerRect.TopLeft().ToPOINT(), headerRect.BottomRight().ToPOINT()};
        ::MapWindowPoints(HWND_DESKTOP, Handle(), corners, 2);
        ::ExcludeClipRect(paint.Get(), corners[0].x, corners[0].y, corners[1].x, corners[1].y);
    }

    RECT clip{};
    ::GetClipBox(dc.Get(), &clip);
    win::FillSolidRect(dc.Get(), clip, kListBackground);
    Send(LVM_SETTEXTBKCOLOR, 0, static_cast<LPARAM>(kListBackground));
    SyncScrollBars();
    DefaultProc(WM_PAINT, reinterpret_cast<WPARAM>(dc.Get()), 0);
    return 0;
}

// Selected rows are drawn in the skin's colours instead of the highlight:
// the row is deselected for its own paint and selected again right after.
LRESULT SkinListCtrl::OnCustomDraw(NMLVCUSTOMDRAW& draw) {
    LRESULT result = CDRF_DODEFAULT;
    const auto item = static_cast<WPARAM>(draw.nmcd.dwItemSpec);
    switch (draw.nmcd.dwDrawStage) {
    case CDDS_PREPAINT:
        result = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        wasSelected = (Send(LVM_GETITEMSTATE, item, LVIS_SELECTED) & LVIS_SELECTED) != 0;
        if (wasSelected) {
            draw.clrText = selectedTextColor;
            draw.clrTextBk = selectedBkColor;
            LVITEMA state{};
            state.stateMask = LVIS_SELECTED;
            state.state = 0;
            Send(LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
            // Wine takes the item's look from the notification, not from the
            // item: the row keeps the highlight unless these are cleared too.
            draw.nmcd.uItemState &= ~static_cast<UINT>(CDIS_SELECTED | CDIS_FOCUS);
        }
        result = CDRF_NOTIFYPOSTPAINT;
        break;
    case CDDS_ITEMPOSTPAINT:
        if (wasSelected) {
            LVITEMA state{};
            state.stateMask = LVIS_SELECTED;
            state.state = LVIS_SELECTED;
            Send(LVM_SETITEMSTATE, item, reinterpret_cast<LPARAM>(&state));
        }
        break;
    default:
        break;
    }
    return result;
}

}  // namespace skin
