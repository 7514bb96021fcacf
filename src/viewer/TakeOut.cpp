#include "viewer/TakeOut.h"

#include <algorithm>
#include <memory>
#include <set>

#include "viewer/ExtractProgress.h"
#include "viewer/ViewerKeyboard.h"

namespace viewer {
namespace {

// How long a run goes on before the progress window shows, and how often
// the window is brought up to date, in ms.
constexpr DWORD kQuietTime = 500;
constexpr DWORD kTick = 20;

// Delivers what waits for this thread; false once the program is asked to
// end (the request is put back for the loop that owns it).
bool PumpWaiting() {
    MSG msg;
    while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return false;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageA(&msg);
    }
    return true;
}

// What the written entries put directly in `folder`, and their own paths.
void ListWritten(const BulkExtraction& run, const std::vector<ExtractionItem>& items, const std::string& folder,
                 TakenOut& out) {
    std::set<std::string> failed;
    for (const ExtractionFailure& failure : run.Failures()) failed.insert(failure.name);
    for (std::size_t i = 0; i < items.size() && i < run.Done(); ++i) {
        if (failed.count(items[i].name) != 0) continue;
        std::string name = items[i].name;
        std::replace(name.begin(), name.end(), '/', '\\');
        out.written.push_back(folder + name);
        const std::string top = folder + name.substr(0, name.find('\\'));
        if (std::find(out.offered.begin(), out.offered.end(), top) == out.offered.end()) out.offered.push_back(top);
    }
}

}  // namespace

TakenOut ExtractAndWait(HWND owner, const std::string& packPath, std::vector<ExtractionItem> items,
                        const std::string& folder) {
    BulkExtraction run(packPath, items, folder);
    const DWORD start = ::GetTickCount();
    std::unique_ptr<ExtractProgressDialog> progress;
    HWND progressWindow = nullptr;
    // The owner and the windows that own it wait for the run: this loop is
    // inside one of their handlers, and none may close under it.
    std::vector<HWND> disabled;
    while (!run.Finished()) {
        if (!progress && ::GetTickCount() - start > kQuietTime) {
            progress = std::make_unique<ExtractProgressDialog>([&run] { run.Cancel(); });
            progress->SetProgress(run.Done(), run.Total());
            for (HWND window = owner; window != nullptr; window = ::GetWindow(window, GW_OWNER)) {
                if (!::EnableWindow(window, FALSE)) disabled.push_back(window);  // it was enabled
            }
            if (progress->Create(owner)) {
                progressWindow = progress->Handle();
                AddKeyboardWindow(progressWindow);
                progress->Show(SW_SHOW);
            }
        }
        if (progress) {
            progress->SetProgress(run.Done(), run.Total());
            if (!PumpWaiting()) run.Cancel();
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, kTick, QS_ALLINPUT);
    }
    run.Wait();
    if (progress) {
        // Enabled before its window goes, so the activation comes back to the owner.
        for (auto window = disabled.rbegin(); window != disabled.rend(); ++window) ::EnableWindow(*window, TRUE);
        if (progressWindow != nullptr) RemoveKeyboardWindow(progressWindow);
        progress.reset();
    }
    TakenOut out;
    ListWritten(run, items, folder, out);
    out.summary = ExtractionSummary(run);
    return out;
}

}  // namespace viewer
