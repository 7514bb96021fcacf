#include "viewer/BulkExtraction.h"

#include <system_error>
#include <utility>

#include "vpk/ExtractionRun.h"
#include "vpk/VpkArchive.h"

namespace viewer {
namespace {

// How many failures a summary names; the rest are counted.
constexpr std::size_t kNamedFailures = 5;

constexpr const char* kPackChanged = "The pack has changed since it was listed";

std::string Joined(const std::vector<std::string>& texts) {
    std::string joined;
    for (const std::string& text : texts) {
        if (!joined.empty()) joined += "; ";
        joined += text;
    }
    return joined;
}

BulkExtraction::WorkerHold& CurrentHold() {
    static BulkExtraction::WorkerHold hold;
    return hold;
}

}  // namespace

void BulkExtraction::SetWorkerHold(WorkerHold hold) { CurrentHold() = std::move(hold); }

BulkExtraction::BulkExtraction(std::string pack, std::vector<ExtractionItem> chosen, std::string target)
    : packPath(std::move(pack)), items(std::move(chosen)), folder(std::move(target)), hold(CurrentHold()) {
    try {
        worker = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        Run();  // no thread to be had: the caller waits for the whole run
    }
}

BulkExtraction::~BulkExtraction() {
    Cancel();
    Wait();
}

void BulkExtraction::Wait() {
    if (worker.joinable()) worker.join();
}

void BulkExtraction::Run() {
    vpk::HeldMessages held;
    VpkArchive archive;
    if (!archive.Open(packPath.c_str()) || !archive.ReadDirectory()) {
        const std::string reason = Joined(held.texts);
        for (const ExtractionItem& item : items) failures.push_back({item.name, reason});
        done = items.size();
        finished = true;
        return;
    }
    vpk::ExtractionRun run(folder);
    for (const ExtractionItem& item : items) {
        if (cancelRequested) break;
        held.texts.clear();
        const VpkEntry* entry = archive.GetEntry(item.index);
        if (entry == nullptr || item.name != entry->name) {
            failures.push_back({item.name, kPackChanged});
        } else {
            archive.Extract(item.index, entry->name, &run);
            if (!held.texts.empty()) failures.push_back({item.name, Joined(held.texts)});
        }
        ++done;
        if (hold) hold(done, cancelRequested);
    }
    archive.Close();
    finished = true;
}

std::string WithThousands(std::size_t count) {
    const std::string digits = std::to_string(count);
    std::string text;
    for (std::size_t i = 0; i < digits.size(); ++i) {
        if (i > 0 && (digits.size() - i) % 3 == 0) text.push_back(',');
        text.push_back(digits[i]);
    }
    return text;
}

// Built by appending: GCC 12 warns falsely (-Wrestrict) on "x" + string.
std::string CountOfEntries(std::size_t count, std::size_t total) {
    std::string text = WithThousands(count);
    text.append(" of ").append(WithThousands(total)).append(total == 1 ? " entry" : " entries");
    return text;
}

std::string ExtractionSummary(const BulkExtraction& run) {
    std::string text;
    if (run.Cancelled()) {
        text.append("Extraction cancelled after ").append(CountOfEntries(run.Done(), run.Total())).append(".");
    }
    const std::vector<ExtractionFailure>& failures = run.Failures();
    if (!failures.empty()) {
        if (!text.empty()) text.append("\n\n");
        text.append(CountOfEntries(failures.size(), run.Total())).append(" could not be written:\n");
        for (std::size_t i = 0; i < failures.size() && i < kNamedFailures; ++i) {
            text.append("\n").append(failures[i].name).append(": ").append(failures[i].reason);
        }
        if (failures.size() > kNamedFailures) {
            text.append("\n... and ").append(WithThousands(failures.size() - kNamedFailures)).append(" more");
        }
    }
    return text;
}

}  // namespace viewer
