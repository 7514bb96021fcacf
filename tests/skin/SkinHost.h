// A top-level window on screen for a control under test (here a SkinListCtrl,
// hosted as the viewer's dialog hosts it; the preview views' tests use it
// too), and the helpers the skin tests share: filling the list, recording
// the scroll messages it receives, grey levels of pixels.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "skin/SkinListCtrl.h"
#include "win/App.h"
#include "win/Window.h"
#include "win/Pump.h"

namespace skintest {

inline constexpr const char* kHostClass = "TessaroSkinTestHost";
inline constexpr int kListId = 1001;

// A scroll message the list received: WM_HSCROLL / WM_VSCROLL with their
// code, or LVM_SCROLL with its distances.
struct ScrollMessage {
    UINT msg;
    int code;  // SB_* for WM_HSCROLL / WM_VSCROLL
    int dx;    // LVM_SCROLL
    int dy;
};

// The skinned list, plus a record of the scroll messages that reach it.
class RecordingList : public skin::SkinListCtrl {
public:
    std::vector<ScrollMessage> scrolls;

    int Count(UINT msg, int code = -1) const {
        int n = 0;
        for (const ScrollMessage& s : scrolls) n += s.msg == msg && (code < 0 || s.code == code);
        return n;
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_HSCROLL || msg == WM_VSCROLL) scrolls.push_back({msg, LOWORD(wp), 0, 0});
        if (msg == LVM_SCROLL) scrolls.push_back({msg, 0, static_cast<int>(wp), static_cast<int>(lp)});
        return SkinListCtrl::HandleMessage(msg, wp, lp);
    }
};

class Host : public win::Window {
public:
    bool Create(const win::Rect& screenRect) {
        if (!RegisterWindowClass(kHostClass, 0, nullptr, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)))) {
            return false;
        }
        return Window::Create(kHostClass, "skin test", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, screenRect,
                              nullptr, 0);
    }
};

inline int Grey(COLORREF c) { return GetRValue(c); }
inline bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }
// Clearly red: the skin's reds (217..255, 0..20, 0..20), blended edges aside.
inline bool IsRed(COLORREF c) { return GetRValue(c) >= 150 && GetGValue(c) < 60 && GetBValue(c) < 60; }

struct Column {
    const char* title;
    int width;
};

class SkinFixture : public ::testing::Test {
protected:
    void SetUp() override {
        win::InitCommonControlClasses();
        ASSERT_TRUE(host.Create(win::Rect::FromSize(60, 60, 700, 560)));
    }

    // Creates and skins a report-view list at `rect` (host client
    // coordinates) with `columns` and `rows` rows of text.
    void MakeList(const win::Rect& rect, const std::vector<Column>& columns, int rows,
                  DWORD extraStyle = LVS_SHOWSELALWAYS) {
        HWND hwnd = ::CreateWindowExA(0, WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT | extraStyle,
                                      rect.left, rect.top, rect.Width(), rect.Height(), host.Handle(),
                                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kListId)), nullptr, nullptr);
        ASSERT_NE(hwnd, nullptr);
        ASSERT_TRUE(list.Subclass(hwnd));
        list.InitSkin();
        list.Send(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP);
        list.Send(LVM_SETTEXTCOLOR, 0, RGB(220, 150, 150));
        for (size_t i = 0; i < columns.size(); ++i) {
            LVCOLUMNA column{};
            column.mask = LVCF_TEXT | LVCF_WIDTH;
            column.cx = columns[i].width;
            column.pszText = const_cast<char*>(columns[i].title);
            list.Send(LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
        }
        for (int i = 0; i < rows; ++i) {
            char text[32];
            std::snprintf(text, sizeof text, "row %d", i + 1);
            LVITEMA item{};
            item.mask = LVIF_TEXT;
            item.iItem = i;
            item.pszText = text;
            list.Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        }
        Repaint();
    }

    // Paints everything that is invalid, the list and its bars included.
    void Repaint() {
        ::RedrawWindow(host.Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        wintest::Pump();
    }

    HWND HeaderWindow() { return list.Header().Handle(); }

    // The list's row height in pixels (0 without rows).
    int RowHeight() {
        RECT r{};
        r.left = LVIR_BOUNDS;
        return list.Send(LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r)) ? r.bottom - r.top : 0;
    }

    Host host;
    RecordingList list;
};

}  // namespace skintest
