// TEMPORARY stand-in for TextView until its own implementation lands: a
// read-only edit control. Not to be shipped.
#include "viewer/preview/TextView.h"

namespace viewer::preview {

bool TextView::Create(HWND parent, int id, const RECT& rect) {
    const DWORD style = WS_CHILD | WS_TABSTOP | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY;
    return CreateAndSubclass("EDIT", "", style, 0, win::Rect(rect), parent, id);
}

void TextView::SetText(std::string value) {
    text = std::move(value);
    Send(EM_SETLIMITTEXT, text.size() + 1, 0);
    ::SetWindowTextA(Handle(), text.c_str());
}

LRESULT TextView::HandleMessage(UINT msg, WPARAM wp, LPARAM lp) {
    return Window::HandleMessage(msg, wp, lp);
}
int TextView::BarPosition() const { return 0; }
int TextView::BarLimit() const { return 0; }
void TextView::BarScrollTo(int) {}

}  // namespace viewer::preview
