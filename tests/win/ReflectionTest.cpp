// Reflection: a parent hands a control's notifications back to the control's
// object first, and the object's answer is the parent's answer; this holds
// for dialogs and for windows of our own classes alike.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "win/App.h"
#include "win/Dialog.h"
#include "DialogTemplate.h"
#include "Pump.h"

namespace {

constexpr const char* kParentClass = "TessaroReflectionParent";
constexpr LRESULT kChildAnswer = 0x1111;
constexpr LRESULT kParentAnswer = 0x2222;
constexpr UINT kSyntheticCode = 0x7777;
constexpr int kChildId = 300;

bool IsReflectable(UINT msg) {
    return msg == WM_NOTIFY || msg == WM_DRAWITEM || msg == WM_HSCROLL || msg == WM_VSCROLL ||
           (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC);
}

// What reached the parent's own handling.
struct ParentLog {
    std::vector<UINT> seen;
    std::vector<UINT> notifyCodes;
    std::optional<LRESULT> answer;  // the parent's answer to reflectable messages, if any
    std::optional<LRESULT> reflectedAnswer;  // what the parent answers when offered its own messages
};

template <class Base>
class Parent : public Base, public ParentLog {
public:
    using Base::Base;
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (IsReflectable(msg)) {
            seen.push_back(msg);
            if (msg == WM_NOTIFY) notifyCodes.push_back(reinterpret_cast<const NMHDR*>(lp)->code);
            if (answer) return *answer;
        }
        return Base::HandleMessage(msg, wp, lp);
    }
    std::optional<LRESULT> HandleReflectedMessage(UINT, WPARAM, LPARAM) override { return reflectedAnswer; }
};

// A control that answers every reflected message when `answer` is set.
class Child : public win::Window {
public:
    std::optional<LRESULT> HandleReflectedMessage(UINT msg, WPARAM, LPARAM) override {
        offered.push_back(msg);
        return answer;
    }
    std::vector<UINT> offered;
    std::optional<LRESULT> answer;
};

enum class ParentKind { OwnClass, Dialog };

class Reflection : public ::testing::TestWithParam<ParentKind> {
protected:
    void SetUp() override {
        win::InitCommonControlClasses();
        ASSERT_TRUE(win::Window::RegisterWindowClass(kParentClass, 0, nullptr,
                                                     reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1)));
        if (GetParam() == ParentKind::OwnClass) {
            auto window = std::make_unique<Parent<win::Window>>();
            ASSERT_TRUE(window->Create(kParentClass, "parent", WS_POPUP | WS_VISIBLE, 0, {40, 40, 440, 340},
                                       nullptr, 0));
            log = window.get();
            parent = std::move(window);
        } else {
            auto dialog = std::make_unique<Parent<win::Dialog>>(dialogTemplate.Get());
            ASSERT_TRUE(dialog->Create(nullptr));
            log = dialog.get();
            parent = std::move(dialog);
        }
    }

    wintest::DialogTemplate dialogTemplate{"parent", WS_POPUP | WS_VISIBLE, 20, 20, 220, 160};
    std::unique_ptr<win::Window> parent;
    ParentLog* log = nullptr;
};

struct Sent {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// Each reflectable message as a control would send it.
std::vector<Sent> MessagesFrom(HWND child, NMHDR& header, DRAWITEMSTRUCT& item, HDC dc) {
    header = {child, static_cast<UINT_PTR>(kChildId), kSyntheticCode};
    item = {};
    item.CtlType = ODT_STATIC;
    item.CtlID = kChildId;
    item.hwndItem = child;
    auto asLp = [](auto value) { return reinterpret_cast<LPARAM>(value); };
    auto dcWp = reinterpret_cast<WPARAM>(dc);
    return {{WM_NOTIFY, static_cast<WPARAM>(kChildId), asLp(&header)},
            {WM_CTLCOLORSTATIC, dcWp, asLp(child)},
            {WM_CTLCOLORBTN, dcWp, asLp(child)},
            {WM_CTLCOLOREDIT, dcWp, asLp(child)},
            {WM_CTLCOLORLISTBOX, dcWp, asLp(child)},
            {WM_CTLCOLORSCROLLBAR, dcWp, asLp(child)},
            {WM_HSCROLL, SB_LINEDOWN, asLp(child)},
            {WM_VSCROLL, SB_PAGEUP, asLp(child)},
            {WM_DRAWITEM, static_cast<WPARAM>(kChildId), asLp(&item)}};
}

TEST_P(Reflection, ChildAnswersFirstAndItsAnswerIsTheParents) {
    Child child;
    ASSERT_TRUE(child.CreateAndSubclass("STATIC", "", WS_CHILD, 0, {0, 0, 10, 10}, parent->Handle(), kChildId));
    NMHDR header;
    DRAWITEMSTRUCT item;
    HDC dc = ::GetDC(parent->Handle());
    for (const Sent& m : MessagesFrom(child.Handle(), header, item, dc)) {
        SCOPED_TRACE(m.msg);
        child.answer = kChildAnswer;
        log->answer = kParentAnswer;
        log->seen.clear();
        EXPECT_EQ(parent->Send(m.msg, m.wp, m.lp), kChildAnswer);
        EXPECT_TRUE(log->seen.empty());

        child.answer.reset();  // the child declines: the parent handles it
        EXPECT_EQ(parent->Send(m.msg, m.wp, m.lp), kParentAnswer);
        EXPECT_EQ(log->seen, std::vector<UINT>{m.msg});
    }
    ::ReleaseDC(parent->Handle(), dc);
    EXPECT_EQ(child.offered.size(), 2 * MessagesFrom(child.Handle(), header, item, nullptr).size());
}

TEST_P(Reflection, MessagesAboutTheParentItselfOrFromUnknownSendersAreNotOffered) {
    log->reflectedAnswer = kChildAnswer;  // would show if the parent were offered its own message
    log->answer = kParentAnswer;
    HDC dc = ::GetDC(parent->Handle());
    EXPECT_EQ(parent->Send(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(parent->Handle())),
              kParentAnswer);
    ::ReleaseDC(parent->Handle(), dc);

    HWND stranger = ::CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, parent->Handle(), nullptr, nullptr, nullptr);
    NMHDR header{stranger, 1, kSyntheticCode};
    EXPECT_EQ(parent->Send(WM_NOTIFY, 1, reinterpret_cast<LPARAM>(&header)), kParentAnswer);

    // A menu's WM_DRAWITEM carries a menu handle in hwndItem: never a window.
    DRAWITEMSTRUCT menuItem{};
    menuItem.CtlType = ODT_MENU;
    menuItem.hwndItem = stranger;
    EXPECT_EQ(parent->Send(WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&menuItem)), kParentAnswer);
}

// A real list view asks its parent at every paint; the item stages only come
// when the parent's answer to the first stage was the child's
// CDRF_NOTIFYITEMDRAW.
class CustomDrawList : public win::Window {
public:
    std::optional<LRESULT> HandleReflectedMessage(UINT msg, WPARAM, LPARAM lp) override {
        if (msg != WM_NOTIFY || reinterpret_cast<const NMHDR*>(lp)->code != NM_CUSTOMDRAW) return std::nullopt;
        return OnCustomDraw(*reinterpret_cast<NMLVCUSTOMDRAW*>(lp));
    }
    int prepaints = 0;
    int itemPrepaints = 0;

private:
    LRESULT OnCustomDraw(NMLVCUSTOMDRAW& draw) {
        switch (draw.nmcd.dwDrawStage) {
        case CDDS_PREPAINT:
            ++prepaints;
            return CDRF_NOTIFYITEMDRAW;
        case CDDS_ITEMPREPAINT:
            ++itemPrepaints;
            if (draw.nmcd.dwItemSpec == 1) draw.clrTextBk = RGB(0, 255, 0);
            return CDRF_DODEFAULT;
        default:
            return CDRF_DODEFAULT;
        }
    }
};

TEST_P(Reflection, ListViewCustomDrawIsAnsweredByTheListsObject) {
    CustomDrawList list;
    ASSERT_TRUE(list.CreateAndSubclass(WC_LISTVIEWA, "", WS_CHILD | WS_VISIBLE | LVS_REPORT, 0, {0, 0, 300, 200},
                                       parent->Handle(), kChildId));
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.cx = 200;
    column.pszText = const_cast<char*>("NAME");
    list.Send(LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&column));
    for (int i = 0; i < 3; ++i) {
        LVITEMA row{};
        row.mask = LVIF_TEXT;
        row.iItem = i;
        row.pszText = const_cast<char*>("row");
        list.Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row));
    }
    list.Invalidate();
    list.Update();

    EXPECT_GE(list.prepaints, 1);
    EXPECT_GE(list.itemPrepaints, 3);
    for (UINT code : log->notifyCodes) EXPECT_NE(code, static_cast<UINT>(NM_CUSTOMDRAW));

    // The structure the parent received is the list's own: its colour shows.
    RECT row{LVIR_LABEL, 0, 0, 0};
    list.Send(LVM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&row));
    EXPECT_EQ(wintest::PixelAt(list.Handle(), row.left + 2, (row.top + row.bottom) / 2), RGB(0, 255, 0));

    // What the list's object leaves alone still reaches the parent.
    LVITEMA state{};
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    list.Send(LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&state));
    bool changed = false;
    for (UINT code : log->notifyCodes) changed = changed || code == static_cast<UINT>(LVN_ITEMCHANGED);
    EXPECT_TRUE(changed);
}

INSTANTIATE_TEST_SUITE_P(Parents, Reflection, ::testing::Values(ParentKind::OwnClass, ParentKind::Dialog),
                         [](const auto& param) {
                             return std::string(param.param == ParentKind::OwnClass ? "OwnClass" : "Dialog");
                         });

}  // namespace
