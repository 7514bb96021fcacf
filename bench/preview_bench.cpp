// preview_bench.exe PACK BIGFILE: times the candidates for the viewer's text
// preview, side by side in one run, from setting the text to its last line
// painted: the word-wrapping edit control (the viewer's preview until now,
// the baseline), the edit control without wrapping, the rich edit control,
// and the TextView; on dlg/main characters/regent.dlg read from PACK, and on
// a 4 MB text made of that file over and over. Then the HexView opened on
// the 100 MB file BIGFILE, read through ranges as the archive reads an entry:
// time to its first paint, and how much memory the process gained.
// Prints one "key value" line each (milliseconds, bytes).
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "viewer/preview/HexView.h"
#include "viewer/preview/TextView.h"
#include "vpk/VpkArchive.h"

namespace {

using bench::Now;
using bench::Pump;

constexpr const char* kEntryName = "dlg/main characters/regent.dlg";
constexpr std::size_t kBigText = 4u << 20;
constexpr int kWidth = 420;
constexpr int kHeight = 500;
// Anything slower than this runs once only.
constexpr double kOnceOnlyMs = 2000;
constexpr int kRuns = 3;

std::string ReadRegent(const char* packPath) {
    VpkArchive archive;
    if (!archive.Open(packPath) || !archive.ReadDirectory()) return {};
    for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
        if (std::strcmp(archive.GetEntry(i)->name, kEntryName) != 0) continue;
        std::string bytes(archive.GetEntrySize(i), '\0');
        archive.ReadEntry(i, bytes.data());
        bytes.resize(std::strlen(bytes.c_str()));  // the preview's text ends at the first zero byte
        return bytes;
    }
    return {};
}

// The top-level window every candidate sits in, shown, like the viewer.
HWND MakeHost() {
    return ::CreateWindowExA(0, "STATIC", "preview bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth + 20, kHeight + 20,
                             nullptr, nullptr, nullptr, nullptr);
}

HFONT PreviewFont() {
    // The viewer's dialog font, 8 points of Arial.
    LOGFONTA font{};
    font.lfHeight = -11;
    lstrcpynA(font.lfFaceName, "Arial", LF_FACESIZE);
    return ::CreateFontIndirectA(&font);
}

// One edit-like control of class `className` and `style`: the text set, the
// end scrolled to, all painted. Milliseconds.
double TimeControl(HWND host, HFONT font, const char* className, DWORD style, const std::string& text) {
    HWND control = ::CreateWindowExA(0, className, "", WS_CHILD | WS_VISIBLE | style, 10, 10, kWidth, kHeight, host,
                                     nullptr, nullptr, nullptr);
    ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::SendMessageA(control, EM_SETLIMITTEXT, text.size() + 1, 0);
    ::UpdateWindow(control);
    Pump();
    const double start = Now();
    ::SetWindowTextA(control, text.c_str());
    ::SendMessageA(control, EM_SETSEL, text.size(), text.size());
    ::SendMessageA(control, EM_SCROLLCARET, 0, 0);
    ::SendMessageA(control, WM_VSCROLL, SB_BOTTOM, 0);
    ::UpdateWindow(control);
    const double took = Now() - start;
    ::DestroyWindow(control);
    Pump();
    return took;
}

double TimeTextView(HWND host, HFONT font, const std::string& text) {
    viewer::preview::TextView view;
    view.Create(host, 1009, {10, 10, 10 + kWidth, 10 + kHeight});
    ::SendMessageA(view.Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::ShowWindow(view.Hwnd(), SW_SHOW);
    ::UpdateWindow(view.Hwnd());
    Pump();
    std::string copy = text;  // the viewer hands over a string it read
    const double start = Now();
    view.SetText(std::move(copy));
    view.ScrollToEnd();
    ::UpdateWindow(view.Hwnd());
    const double took = Now() - start;
    if (!view.LastRowVisible()) std::fprintf(stderr, "preview_bench: the text view did not reach its end\n");
    return took;
}

// The best of kRuns, or one run when the first is slow.
double Best(const std::function<double()>& run) {
    double best = run();
    for (int i = 1; i < kRuns && best < kOnceOnlyMs; ++i) best = std::min(best, run());
    return best;
}

std::size_t PrivateBytes() {
    PROCESS_MEMORY_COUNTERS_EX counters{};
    counters.cb = sizeof counters;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&counters),
                           sizeof counters);
    return counters.PrivateUsage;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: preview_bench PACK BIGFILE\n");
        return 2;
    }
    const std::string regent = ReadRegent(argv[1]);
    if (regent.empty()) {
        std::fprintf(stderr, "preview_bench: no %s in %s\n", kEntryName, argv[1]);
        return 1;
    }
    std::string big;
    while (big.size() < kBigText) big += regent;
    big.resize(kBigText);

    HWND host = MakeHost();
    HFONT font = PreviewFont();
    ::LoadLibraryA("riched20.dll");
    constexpr DWORD kEdit = ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY | WS_VSCROLL;
    struct Text {
        const char* key;
        const std::string* text;
    };
    std::printf("regent.bytes %zu\n", regent.size());
    for (const Text& t : {Text{"regent", &regent}, Text{"big", &big}}) {
        const std::string& text = *t.text;
        std::printf("%s.edit %.1f\n", t.key, Best([&] { return TimeControl(host, font, "EDIT", kEdit, text); }));
        std::printf("%s.nowrap %.1f\n", t.key,
                    Best([&] { return TimeControl(host, font, "EDIT", kEdit | WS_HSCROLL | ES_AUTOHSCROLL, text); }));
        // The rich edit control takes several times the wrapping edit control on
        // the small text; on the large one it would run for most of an hour.
        if (t.text == &regent) {
            std::printf("%s.rich %.1f\n", t.key, Best([&] { return TimeControl(host, font, "RichEdit20A", kEdit, text); }));
        }
        std::printf("%s.view %.1f\n", t.key, Best([&] { return TimeTextView(host, font, text); }));
        std::fflush(stdout);
    }

    HANDLE file = ::CreateFileA(argv[2], GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    LARGE_INTEGER size{};
    if (file == INVALID_HANDLE_VALUE || !::GetFileSizeEx(file, &size)) {
        std::fprintf(stderr, "preview_bench: cannot open %s\n", argv[2]);
        return 1;
    }
    std::uint64_t bytesRead = 0;
    auto read = [&](std::uint64_t offset, std::size_t count, unsigned char* out) {
        OVERLAPPED at{};
        at.Offset = static_cast<DWORD>(offset);
        at.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD got = 0;
        bytesRead += count;
        return ::ReadFile(file, out, static_cast<DWORD>(count), &got, &at) && got == count;
    };
    viewer::preview::HexView hex;
    hex.Create(host, 1009, {10, 10, 10 + kWidth, 10 + kHeight});
    ::SendMessageA(hex.Hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    ::ShowWindow(hex.Hwnd(), SW_SHOW);
    ::UpdateWindow(hex.Hwnd());
    Pump();
    const std::size_t before = PrivateBytes();
    const double start = Now();
    hex.SetSource(static_cast<std::uint64_t>(size.QuadPart), read);
    ::UpdateWindow(hex.Hwnd());
    const double open = Now() - start;
    const double endStart = Now();
    hex.ScrollToEnd();
    ::UpdateWindow(hex.Hwnd());
    const double end = Now() - endStart;
    const std::size_t after = PrivateBytes();
    std::printf("hex.bytes %lld\nhex.open %.1f\nhex.end %.1f\nhex.read %llu\nhex.memory %lld\n",
                static_cast<long long>(size.QuadPart), open, end, static_cast<unsigned long long>(bytesRead),
                static_cast<long long>(after) - static_cast<long long>(before));
    ::CloseHandle(file);
    ::DeleteObject(font);
    ::DestroyWindow(host);
    return 0;
}
