// about_bench.exe: what the about box costs.
//   about_bench scroll SECONDS   the box open and scrolling; prints its
//                                process CPU time and the wall time
//   about_bench still SECONDS    the same box with the credits' timer
//                                stopped: the baseline of an open box
//   about_bench rebuild N        N layouts of the credits, N of an empty
//                                text (the surfaces alone) and N scroll
//                                steps in a box of the real size; ms per each
// The first second of a timed run is left out (creation, first layout).
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/AboutDialog.h"
#include "app/TessaroApp.h"
#include "win/Win32.h"

namespace {

double CpuMs() {
    FILETIME created, exited, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto ms = [](FILETIME t) {
        return static_cast<double>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

double WallMs() {
    LARGE_INTEGER now, frequency;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

struct Timing {
    int seconds = 10;
    double cpuStart = 0, wallStart = 0, cpu = 0, wall = 0;
    int phase = 0;
} timing;

class TimedBox : public app::AboutDialog {
public:
    explicit TimedBox(bool scroll) : scroll_(scroll) {}

protected:
    BOOL OnInitDialog() override {
        BOOL result = AboutDialog::OnInitDialog();
        if (!scroll_) Credits().KillTimer(markup::HtmlView::kScrollTimer);
        ::SetWindowPos(Handle(), HWND_TOP, 40, 40, 0, 0, SWP_NOSIZE);
        SetTimer(1, 1000);
        return result;
    }
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_TIMER && wp == 1) {
            if (timing.phase++ == 0) {  // after the warm-up second
                timing.cpuStart = CpuMs();
                timing.wallStart = WallMs();
                SetTimer(1, static_cast<UINT>(timing.seconds) * 1000);
            } else {
                timing.cpu = CpuMs() - timing.cpuStart;
                timing.wall = WallMs() - timing.wallStart;
                KillTimer(1);
                EndModal(IDOK);
            }
            return 0;
        }
        return AboutDialog::HandleMessage(msg, wp, lp);
    }

private:
    bool scroll_;
};

int Rebuild(int n) {
    app::AboutDialog box;
    if (!box.Create(nullptr)) return 1;
    box.Show(SW_SHOW);
    box.Update();
    markup::HtmlView& credits = box.Credits();
    credits.KillTimer(markup::HtmlView::kScrollTimer);
    const std::string text = credits.Text();
    double start = WallMs();
    for (int i = 0; i < n; ++i) credits.SetText("%s", text.c_str());
    const double rebuild = (WallMs() - start) / n;
    start = WallMs();
    for (int i = 0; i < n; ++i) credits.SetText("%s", "");
    const double empty = (WallMs() - start) / n;
    credits.SetText("%s", text.c_str());
    start = WallMs();
    for (int i = 0; i < n; ++i) credits.Send(WM_TIMER, markup::HtmlView::kScrollTimer);
    const double step = (WallMs() - start) / n;
    win::Rect client = credits.ClientRect();
    std::printf("rebuild_ms %.2f empty_rebuild_ms %.2f step_ms %.3f width %d height %d content %d\n", rebuild,
                empty, step, client.Width(),
                client.Height(), credits.ContentHeight());
    credits.KillTimer(markup::HtmlView::kScrollTimer);
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    app::TessaroApp::Prepare();
    const char* mode = argc > 1 ? argv[1] : "";
    const int number = argc > 2 ? std::atoi(argv[2]) : 10;
    if (std::strcmp(mode, "rebuild") == 0) return Rebuild(number > 0 ? number : 20);
    if (std::strcmp(mode, "scroll") != 0 && std::strcmp(mode, "still") != 0) {
        std::fprintf(stderr, "usage: about_bench scroll|still SECONDS | rebuild N\n");
        return 2;
    }
    timing.seconds = number > 0 ? number : 10;
    TimedBox box(std::strcmp(mode, "scroll") == 0);
    box.DoModal(nullptr);
    std::printf("cpu_ms %.1f wall_ms %.1f\n", timing.cpu, timing.wall);
    return 0;
}
