// tessaro-cli texture PACK ENTRY... [-C DIR] [--format png|tga|vtf] and
// tessaro-cli texture --info PACK ENTRY....
//
// Each texture is read, rebuilt, decoded and encoded on up to two threads
// (each with its own archive on the pack), while the calling thread shows
// the results strictly in the order the textures were named: messages, info
// lines and files written. A few textures ahead at most are held in memory.
#include "Commands.h"

#include "texture/ImageFiles.h"
#include "texture/TexturePair.h"

#include "vpk/FileSystem.h"
#include "vpk/HeldMessages.h"
#include "vpk/Messages.h"
#include "vpk/TargetPath.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <new>
#include <optional>
#include <set>
#include <string>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

namespace cli {
namespace {

// Below this many textures a second thread costs more than it brings.
constexpr std::size_t kParallelFrom = 8;
// Textures converted ahead of the one being shown, at most.
constexpr std::size_t kAhead = 8;

// What one texture gives: its messages, then an info line or a file.
struct Converted {
    std::vector<std::string> messages;  // shown as they are
    std::string line;
    std::string target;
    std::vector<unsigned char> bytes;
};

const char* Extension(TextureOutput output)
{
    switch (output) {
    case TextureOutput::kTga: return ".tga";
    case TextureOutput::kVtf: return ".vtf";
    default: return ".png";
    }
}

Converted ConvertOne(VpkArchive& archive, const texture::TexturePair& pair, TextureOutput output)
{
    Converted result;
    std::string why;
    texture::LoadedTexture loaded;
    const std::string name = texture::TextureName(archive, pair);
    // The target is checked first, as extraction checks it: nothing is read
    // for a texture that could not be written.
    if (output != TextureOutput::kInfo && pair.tth != texture::kNoEntry) {
        result.target = name.substr(0, name.size() - 4) + Extension(output);
        // A backslash separates folders as "/" does, as in extraction.
        for (char& c : result.target) {
            if (c == '\\')
                c = '/';
        }
        if (result.target.size() > kVpkMaxNameLength)
            result.messages.emplace_back(vpk::messages::kTargetTooLong);
        else if (!vpk::IsSafeTarget(result.target.c_str()))
            result.messages.emplace_back(vpk::messages::kUnsafeTarget);
        if (!result.messages.empty())
            return result;
    }
    if (!texture::LoadTexture(archive, pair, loaded, why)) {
        result.messages.push_back(why);
        return result;
    }
    const texture::VtfInfo& info = loaded.info;
    if (output == TextureOutput::kInfo) {
        result.line = name + '\t' + std::to_string(info.width) + 'x' + std::to_string(info.height) + '\t' +
                      info.format->name + '\t' + std::to_string(info.mipCount) + '\t' + std::to_string(info.frames);
        return result;
    }
    if (output == TextureOutput::kVtf) {
        result.bytes = std::move(loaded.vtf);
        return result;
    }
    std::vector<unsigned char> rgba;
    if (!texture::DecodeLargestImage(loaded.vtf.data(), info, rgba, why)) {
        result.messages.push_back(name + ": " + why);
        return result;
    }
    loaded.vtf = {};
    const bool encoded = output == TextureOutput::kTga ? texture::EncodeTga(rgba.data(), info.width, info.height, result.bytes)
                                                      : texture::EncodePng(rgba.data(), info.width, info.height, result.bytes);
    if (!encoded)
        result.messages.push_back("tessaro-cli: " + name + ": can't encode the image");
    return result;
}

// Memory the encoders or the result can't have fails this texture only (a
// thread must not end in an exception).
Converted Convert(VpkArchive& archive, const texture::TexturePair& pair, TextureOutput output)
{
    try {
        return ConvertOne(archive, pair, output);
    } catch (const std::bad_alloc&) {
        Converted failed;
        failed.messages.push_back("tessaro-cli: " + texture::TextureName(archive, pair) + ": not enough memory");
        return failed;
    }
}

// Converts every texture, on two threads when helper is given, and hands
// each result to show in order on this thread.
template <typename Show>
void ConvertInOrder(VpkArchive& archive, VpkArchive* helper, const std::vector<texture::TexturePair>& pairs,
                    TextureOutput output, Show show)
{
    const std::size_t count = pairs.size();
    std::vector<std::optional<Converted>> slots(count);
    std::mutex lock;
    std::condition_variable changed;
    std::size_t next = 0;
    std::size_t shown = 0;
    auto mayTake = [&] { return next < count && next < shown + kAhead; };
    // Installed before the second thread starts and dropped after it ends,
    // so the process-wide sink never changes while both run.
    const vpk::HoldingInstalled holding;
    std::thread second;
    if (helper != nullptr) {
        try {
            second = std::thread([&] {
                std::unique_lock<std::mutex> hold(lock);
                for (;;) {
                    changed.wait(hold, [&] { return next >= count || mayTake(); });
                    if (next >= count)
                        return;
                    const std::size_t n = next++;
                    hold.unlock();
                    Converted converted = Convert(*helper, pairs[n], output);
                    hold.lock();
                    slots[n] = std::move(converted);
                    changed.notify_all();
                }
            });
        } catch (const std::system_error&) {
            // No second thread to be had: this one converts every texture.
        }
    }
    std::unique_lock<std::mutex> hold(lock);
    while (shown < count) {
        if (slots[shown]) {
            Converted converted = std::move(*slots[shown]);
            slots[shown].reset();
            ++shown;
            changed.notify_all();
            hold.unlock();
            show(converted, shown, count);
            hold.lock();
        } else if (mayTake()) {
            const std::size_t n = next++;
            hold.unlock();
            Converted converted = Convert(archive, pairs[n], output);
            hold.lock();
            slots[n] = std::move(converted);
        } else {
            changed.wait(hold);
        }
    }
    hold.unlock();
    if (second.joinable())
        second.join();
}

bool HasWildcards(const std::string& text)
{
    return text.find_first_of("*?") != std::string::npos;
}

// The textures the selectors name, each once, in the order given; entries
// that are not textures are reported when named, skipped when a pattern
// matched them.
std::vector<texture::TexturePair> ChooseTextures(const VpkArchive& archive, const texture::TexturePairs& pairs,
                                                 std::vector<EntrySelector>& selectors)
{
    std::vector<texture::TexturePair> chosen;
    std::set<std::pair<std::uint32_t, std::uint32_t>> seen;
    auto add = [&](std::uint32_t index, bool named) {
        const texture::TexturePair pair = pairs.PairOf(index);
        if (!pair.IsTexture()) {
            if (named)
                messages.Complain(std::string(archive.GetEntry(index)->name) + " is not a texture");
            return false;
        }
        if (seen.emplace(pair.tth, pair.ttz).second)
            chosen.push_back(pair);
        return true;
    };
    for (EntrySelector& selector : selectors) {
        if (selector.isNumber) {
            if (archive.GetEntry(selector.index) == nullptr)
                vpk::ShowMessage(vpk::messages::kIndexOutOfRange);
            else
                add(selector.index, true);
            continue;
        }
        const bool named = !HasWildcards(selector.text);
        bool anyTexture = false;
        for (std::uint32_t i = 0; i < archive.GetEntryCount(); ++i) {
            if (selector.pattern->Matches(archive.GetEntry(i)->name)) {
                selector.matched = true;
                anyTexture = add(i, named) || anyTexture;
            }
        }
        if (selector.matched && !named && !anyTexture)
            messages.Complain("no texture matches " + selector.text);
    }
    ReportUnmatched(selectors);
    return chosen;
}

}  // namespace

int Texture(const char* pack, std::vector<EntrySelector>& selectors, const char* folder, TextureOutput output)
{
    VpkArchive archive;
    if (!Load(archive, pack))
        return ExitStatus();
    const texture::TexturePairs pairs(archive);
    const std::vector<texture::TexturePair> chosen = ChooseTextures(archive, pairs, selectors);
    if (chosen.empty())
        return ExitStatus();
    // A second archive on the same pack for a second thread, opened while
    // the pack's path still holds, and quietly: without it one thread works.
    VpkArchive helper;
    bool haveHelper = false;
    if (chosen.size() >= kParallelFrom && SecondThreadWanted()) {
        vpk::HeldMessages quiet;
        haveHelper = Load(helper, pack);
    }
    // Which file the pack is, by any name: a texture must not be written
    // over it (renamed over it, the pack would be gone).
    const vpk::PathInfo packFile = vpk::GetFileSystem().Examine(pack, true);
    if (folder != nullptr && !ChangeDirectory(folder)) {
        messages.Complain(std::string("can't enter folder ") + folder);
        return ExitStatus();
    }
    const bool progress = output != TextureOutput::kInfo && chosen.size() > 1 && IsTerminal(stderr);
    using Clock = std::chrono::steady_clock;
    Clock::time_point nextUpdate = Clock::now();
    vpk::ExtractionRun run;
    Output out;
    ConvertInOrder(archive, haveHelper ? &helper : nullptr, chosen, output,
                   [&](const Converted& converted, std::size_t done, std::size_t total) {
                       if (!converted.messages.empty())
                           out.Flush();  // lines before this texture's messages
                       for (const std::string& text : converted.messages)
                           messages.Show(text.c_str());
                       if (!converted.line.empty()) {
                           out.Put(converted.line);
                           out.EndLine();
                       } else if (converted.messages.empty()) {
                           // Folders refused (a link among them, leading
                           // elsewhere) are not written through.
                           const std::size_t slash = converted.target.find_last_of('/');
                           if (slash == std::string::npos ||
                               archive.CreateDirectories(converted.target.substr(0, slash + 1).c_str(), &run)) {
                               const vpk::PathInfo existing =
                                   vpk::GetFileSystem().Examine(converted.target.c_str(), false);
                               if (packFile.kind != vpk::PathInfo::Kind::None &&
                                   existing.kind != vpk::PathInfo::Kind::None && existing.identity == packFile.identity)
                                   vpk::ShowMessage(vpk::messages::kTargetIsPack);
                               else if (!texture::WriteFileWhole(converted.target, converted.bytes))
                                   messages.Complain("can't write " + converted.target);
                           }
                       }
                       if (progress && Clock::now() >= nextUpdate) {
                           char line[64];
                           std::snprintf(line, sizeof line, "Converting %u of %u textures", static_cast<unsigned>(done),
                                         static_cast<unsigned>(total));
                           messages.ShowProgress(line);
                           nextUpdate = Clock::now() + std::chrono::milliseconds(100);
                       }
                   });
    messages.ClearProgress();
    out.Finish();
    return ExitStatus();
}

}  // namespace cli
