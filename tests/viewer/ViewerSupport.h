// What the pack viewer's tests share: reading the lists back, clicking rows
// the way the list view reports clicks, real mouse clicks on the screen, the
// preview's state.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include <shlobj.h>

#include "resource.h"
#include "viewer/RunFolder.h"
#include "viewer/VpkViewerDialog.h"
#include "vpk/TestSupport.h"
#include "win/App.h"
#include "win/Pump.h"
#include "win/Recorders.h"

namespace viewertest {

using Row = std::vector<std::string>;

inline std::string Cell(HWND list, int row, int column) {
    char text[300] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = sizeof text;
    ::SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return text;
}

inline std::vector<Row> Rows(HWND list) {
    std::vector<Row> rows;
    const int count = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) rows.push_back({Cell(list, i, 0), Cell(list, i, 1), Cell(list, i, 2)});
    return rows;
}

// Selects exactly `rows`, as a click or a shift-click would.
inline void Select(HWND list, const std::vector<int>& rows) {
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
    state.state = LVIS_SELECTED;
    for (int row : rows) ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&state));
}

// The notification the list view sends its parent for a click.
inline void Notify(viewer::VpkViewerDialog& viewer, HWND list, int code) {
    NMITEMACTIVATE click{};
    click.hdr.hwndFrom = list;
    click.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(list));
    click.hdr.code = static_cast<UINT>(code);
    viewer.Send(WM_NOTIFY, click.hdr.idFrom, reinterpret_cast<LPARAM>(&click));
}

inline void Click(viewer::VpkViewerDialog& viewer, HWND list, std::initializer_list<int> rows) {
    Select(list, rows);
    Notify(viewer, list, NM_CLICK);
}

inline int FirstSelected(HWND list) {
    return static_cast<int>(::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// The middle of a list row's label (a little in from its left end), on screen.
inline POINT RowPoint(HWND list, int row) {
    RECT r{};
    r.left = LVIR_LABEL;
    ::SendMessageA(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&r));
    POINT p{r.left + 5, (r.top + r.bottom) / 2};
    ::ClientToScreen(list, &p);
    return p;
}

// Real mouse input: moves to `p` (screen) and presses the left (or right)
// button `times` times, each input carrying its own position.
inline void ClickAt(win::Point p, int times = 1, bool right = false) {
    const int w = ::GetSystemMetrics(SM_CXSCREEN), h = ::GetSystemMetrics(SM_CYSCREEN);
    std::vector<INPUT> inputs;
    for (int i = 0; i < 2 * times; ++i) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dx = (p.x * 65536 + w / 2) / w;
        in.mi.dy = (p.y * 65536 + h / 2) / h;
        const DWORD button = i % 2 == 0 ? (right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN)
                                        : (right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | button;
        inputs.push_back(in);
    }
    ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

// What the shell hands a window when files are dropped on it.
inline HDROP MakeDrop(const std::vector<std::string>& paths) {
    std::size_t size = sizeof(DROPFILES) + 1;
    for (const std::string& path : paths) size += path.size() + 1;
    HGLOBAL memory = ::GlobalAlloc(GHND, size);
    auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
    header->pFiles = sizeof(DROPFILES);
    char* at = reinterpret_cast<char*>(header + 1);
    for (const std::string& path : paths) {
        std::memcpy(at, path.c_str(), path.size() + 1);
        at += path.size() + 1;
    }
    ::GlobalUnlock(memory);
    return static_cast<HDROP>(memory);
}

// Forgets the placements earlier windows saved, so each test's windows open
// where their resources put them.
inline void ForgetPlacements() {
    ::RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Tessaro");
}

inline HWND Preview(viewer::VpkViewerDialog& viewer) {
    return ::GetDlgItem(viewer.Handle(), IDC_PREVIEW_TEXT);
}

// A viewer on the screen, with the archive's messages and the message boxes
// recorded and a folder for the packs a test writes; the viewer tests'
// fixtures build on it. It opens with an installation's pack folder unless
// a fixture opens it otherwise.
class ViewerOnScreen : public ::testing::Test {
protected:
    void SetUp() override { Open("C:\\game\\Vampire\\"); }

    // `packFolder`: the installation's pack folder, or nullptr for none.
    void Open(const char* packFolder) {
        ForgetPlacements();
        win::InitCommonControlClasses();
        if (packFolder != nullptr) viewer.SetPackFolder(packFolder);
        ASSERT_TRUE(viewer.Create(nullptr));
        ::SetWindowPos(viewer.Handle(), HWND_TOP, 10, 10, 0, 0, SWP_NOSIZE);
        wintest::Pump();
    }

    std::string Pack(const std::string& name, const std::string& bytes) {
        test::WriteFile(dir.Path() / name, bytes);
        return dir / name;
    }
    // Adds the pack and loads it with a click on its row.
    void Load(const std::string& path) {
        viewer.AddPack(path.c_str());
        Click(viewer, packs(), {static_cast<int>(Rows(packs()).size()) - 1});
    }

    HWND packs() { return viewer.PackList().Handle(); }
    HWND entries() { return viewer.EntryList().Handle(); }
    HWND preview() { return Preview(viewer); }
    std::string Status() { return win::WindowText(::GetDlgItem(viewer.Handle(), IDC_PREVIEW_STATUS)); }

    // What the entries opened, dragged or copied left, as the program's end removes it.
    ~ViewerOnScreen() override { viewer::ProgramRunFolders().RemoveOwn(); }

    test::TempDir dir;
    test::MessageRecorder messages;
    wintest::MessageBoxRecorder boxes;
    wintest::ShellRecorder shell;  // what "&Open" hands the shell
    viewer::VpkViewerDialog viewer;
};

}  // namespace viewertest
