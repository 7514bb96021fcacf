// The about box (dialog 100): the program's icon, its version line, OK, and
// the credits scrolling endlessly over a dark green grid in an HtmlView laid
// over the placeholder 1006. Built afresh for each run, so the credits start
// from the top every time; the control goes with the dialog's window.
#pragma once

#include <string>

#include "markup/HtmlView.h"
#include "win/Dialog.h"

namespace app {

class AboutDialog : public win::Dialog {
public:
    AboutDialog();

    markup::HtmlView& Credits() { return credits; }

    // The credits panel's background: black, then a cross-hatch of
    // RGB(0,70,30). The refresh flag and the colour are not used.
    static void PaintCreditsBackground(HDC dc, RECT rect, BOOL refresh, COLORREF color);
    // The credits in the markup, nine segments in order (no "%" in them).
    static std::string CreditsText();

protected:
    BOOL OnInitDialog() override;

private:
    markup::HtmlView credits;
};

}  // namespace app
