#include "app/AboutDialog.h"

#include "resource.h"
#include "win/Gdi.h"

namespace app {

namespace {

constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kGrid = RGB(0, 70, 30);

std::string Heading(const char* text) {
    return std::string("<font style='bu' align='left'>") + text + "<br></font>";
}

// Each letter in a font element of its own colour.
std::string Letters(const char* word, const char* const* colours, std::size_t colourCount) {
    std::string s;
    for (std::size_t i = 0; word[i] != '\0'; ++i)
        s += std::string("<font color='") + colours[i % colourCount] + "'>" + word[i] + "</font>";
    return s;
}

}  // namespace

AboutDialog::AboutDialog() : Dialog(IDD_ABOUTBOX) {}

std::string AboutDialog::CreditsText() {
    static const char* const kProgrammer[] = {"255,0,0",    "220,30,10",   "200,60,30",  "200,100,50",
                                              "180,120,80", "160,140,100", "140,160,120"};
    static const char* const kTesters[] = {"255,68,68", "180,0,0"};
    std::string s;
    // 1: the surrounding font element, never closed.
    s += "<font color='126,169,228' face='arial' size='14' align='center'>";
    // 2: the title below five empty lines.
    s += "<br><br><br><br><br><font size='20' face='Century Gothic' style='b' color='173,53,53'>Tessaro</font><p>";
    // 3
    s += Heading("Programmed by:") + Letters("Tessaro", kProgrammer, 7) + "<br><br>";
    // 4: "\xE8" is the ANSI e with grave accent.
    s += Heading("Primary b\xE8tatesters & supporters:") + Letters("Forum", kTesters, 2) + "<br>" +
         "<font color='180,20,255'>The Bloodlines modding community</font><br><br>";
    // 5
    s += Heading("Art designer:") + Letters("Forum", kTesters, 2) + "<br><br>";
    // 6
    s += Heading("In dedication to:") +
         "<font face='Copperplate Gothic Bold' size='18' color='80,80,240'>"
         "<a href='http://www.example.org/bloodlines-modders'>Every Bloodlines modder</a><br><br></font>";
    // 7
    s += Heading("Visit our site at:") +
         "<font color='238,60,77'><a href='http://tessaro.example.org'>tessaro.example.org</a></font><br><br>";
    // 8
    s += Heading("Or:") +
         "<font style='b' color='238,60,77'><a href='mailto:team@tessaro.example.org'>Mail me</a></font><br><br>";
    // 9
    s += "<font color='210,210,6' style='b' size='20'>ET C'EST PARTI!</font><br><br>";
    return s;
}

void AboutDialog::PaintCreditsBackground(HDC dc, RECT rect, BOOL /*refresh*/, COLORREF /*color*/) {
    win::FillSolidRect(dc, rect, kBlack);
    ::SetBkColor(dc, kBlack);
    win::Brush grid = win::Brush::Hatch(HS_CROSS, kGrid);
    ::FillRect(dc, &rect, grid.Get());
}

BOOL AboutDialog::OnInitDialog() {
    Dialog::OnInitDialog();
    // Laid out when the control's window is created below.
    credits.SetText("%s", CreditsText().c_str());
    credits.transparentColor = kBlack;
    credits.drawBackground = PaintCreditsBackground;
    credits.backgroundColor = 1;  // ignored by the painter
    credits.CreateOver(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE, IDC_CREDITS, Handle(), 0, IDCUR_TESSARO, 0);
    return TRUE;
}

}  // namespace app
