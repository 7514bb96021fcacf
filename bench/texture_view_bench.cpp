// texture_view_bench.exe PACK: the viewer's preview of a texture, timed from
// asking the view to show the entry to the picture painted, against the hex
// view showing the same pack's .ttz entry (its first screen painted) in the
// same run, as a baseline of what a click costs anyway. PACK holds one
// texture pair. Prints "key value" lines (milliseconds).
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "BenchClock.h"
#include "texture/TexturePair.h"
#include "viewer/preview/PreviewView.h"
#include "vpk/VpkArchive.h"

namespace {

using bench::Now;
using bench::Pump;

constexpr int kWidth = 420;
constexpr int kHeight = 500;
constexpr int kRuns = 5;

// Best of kRuns: a view of `kind` made, shown on entry `index`, painted.
double TimeShow(HWND host, const std::shared_ptr<VpkArchive>& archive, viewer::preview::PreviewKind kind,
                std::uint32_t index, std::string& status) {
    double best = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        std::unique_ptr<viewer::preview::PreviewView> view = viewer::preview::MakePreviewView(kind);
        view->Create(host, 1009, {10, 10, 10 + kWidth, 10 + kHeight});
        Pump();
        const double start = Now();
        view->Show(archive, index);
        ::ShowWindow(view->Window(), SW_SHOW);
        ::UpdateWindow(view->Window());
        best = std::min(best, Now() - start);
        status = view->StatusText(*archive->GetEntry(index));
        ::DestroyWindow(view->Window());
        Pump();
    }
    return best;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: texture_view_bench PACK\n");
        return 2;
    }
    auto archive = std::make_shared<VpkArchive>();
    if (!archive->Open(argv[1]) || !archive->ReadDirectory()) return 1;
    std::uint32_t tth = texture::kNoEntry, ttz = texture::kNoEntry;
    for (std::uint32_t i = 0; i < archive->GetEntryCount(); ++i) {
        const std::string name = archive->GetEntry(i)->name;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".tth") == 0) tth = i;
        if (name.size() > 4 && name.compare(name.size() - 4, 4, ".ttz") == 0) ttz = i;
    }
    if (tth == texture::kNoEntry || ttz == texture::kNoEntry) {
        std::fprintf(stderr, "texture_view_bench: no texture pair in %s\n", argv[1]);
        return 1;
    }
    HWND host = ::CreateWindowExA(0, "STATIC", "texture bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth + 20,
                                  kHeight + 20, nullptr, nullptr, nullptr, nullptr);
    std::string status;
    const double hex = TimeShow(host, archive, viewer::preview::PreviewKind::Hex, ttz, status);
    const double picture = TimeShow(host, archive, viewer::preview::PreviewKind::Texture, tth, status);
    // Its parts without a window: the pair rebuilt, then decoded.
    double load = 1e9, decode = 1e9;
    for (int run = 0; run < kRuns; ++run) {
        const double start = Now();
        texture::LoadedTexture loaded;
        std::string why;
        texture::LoadTexture(*archive, texture::TexturePairs(*archive).PairOf(tth), loaded, why);
        const double loadedAt = Now();
        std::vector<unsigned char> rgba;
        texture::DecodeLargestImage(loaded.vtf.data(), loaded.info, rgba, why);
        load = std::min(load, loadedAt - start);
        decode = std::min(decode, Now() - loadedAt);
    }
    std::printf("hex.show %.1f\ntexture.show %.1f\ntexture.load %.1f\ntexture.decode %.1f\ntexture.status %s\n", hex,
                picture, load, decode, status.c_str());
    ::DestroyWindow(host);
    return 0;
}
