#include "viewer/BulkExtraction.h"

#include <system_error>
#include <thread>
#include <utility>

#include "vpk/ExtractionRun.h"
#include "vpk/Extractor.h"
#include "vpk/MessageSink.h"
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
    // A second archive on the pack for a second thread, opened quietly:
    // without it one thread does the work all the same.
    VpkArchive helper;
    bool haveHelper = false;
    if (items.size() >= vpk::kParallelFrom && vpk::SecondThreadWanted()) {
        haveHelper = helper.Open(packPath.c_str()) && helper.ReadDirectory();
        held.texts.clear();
    }
    std::vector<std::uint32_t> indexes;
    indexes.reserve(items.size());
    for (const ExtractionItem& item : items) indexes.push_back(item.index);

    vpk::ExtractionRun run(folder);
    vpk::ExtractionSteps steps;
    steps.extract = [&](VpkArchive& pack, std::size_t n) {
        const ExtractionItem& item = items[n];
        const VpkEntry* entry = pack.GetEntry(item.index);
        if (entry == nullptr || item.name != entry->name) {
            vpk::ShowMessage(kPackChanged);
        } else {
            pack.Extract(item.index, entry->name, &run);
        }
    };
    steps.mayTake = [this](std::size_t taken) {
        if (hold && taken > 0) {
            // The entry the other thread may be writing is let finish first,
            // so the run is held where one thread would be.
            while (done < taken) std::this_thread::yield();
            hold(taken, cancelRequested);
        }
        return !cancelRequested;
    };
    steps.handled = [this](std::size_t n, const std::vector<std::string>& texts) {
        if (!texts.empty()) failures.push_back({items[n].name, Joined(texts)});
        ++done;
    };
    threads = vpk::ExtractEntries(archive, haveHelper ? &helper : nullptr, indexes, run, steps);
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
