#include "cli/BatchStatus.h"

#include <unistd.h>

#include <cstdio>
#include <iostream>

#include "base/ProgressText.h"
#include "base/RunEstimate.h"

namespace mrk2::cli {

namespace {

std::string percent(double share) {
    return std::to_string(static_cast<int>(share * 100)) + "%";
}

}  // namespace

std::string batchOutcomeName(const Outcome& outcome, bool started) {
    switch (outcome.kind) {
        case Outcome::Kind::Completed:
            return "完了";
        case Outcome::Kind::NothingToDo:
            return "変更なし";
        case Outcome::Kind::Stopped:
            return started ? "中止" : "未実行";
        default:
            return "失敗";
    }
}

BatchStatus::BatchStatus(bool quiet)
    : quiet_(quiet), onTerminal_(!quiet && ::isatty(STDERR_FILENO)) {}

BatchStatus::~BatchStatus() {
    clear();
}

void BatchStatus::planned(const std::vector<BatchRegion>& regions) {
    std::lock_guard<std::mutex> hold(mutex_);
    for (const BatchRegion& r : regions) {
        names_.push_back(r.region);
        bytes_.push_back(r.bytes);
        bytesTotal_ += r.bytes;
    }
    if (!quiet_)
        std::cerr << "地域: " << regions.size() << "\n" << std::flush;
}

void BatchStatus::regionProgress(std::size_t index, const Progress& progress) {
    std::lock_guard<std::mutex> hold(mutex_);
    auto [it, added] = running_.try_emplace(index);
    if (added)
        it->second.started = std::chrono::steady_clock::now();
    it->second.progress = progress;
    draw(added);
}

void BatchStatus::regionFinished(std::size_t index, const BatchRegion& region) {
    std::lock_guard<std::mutex> hold(mutex_);
    running_.erase(index);
    ++done_;
    bytesDone_ += bytes_[index];
    if (!onTerminal_ && !quiet_) {
        char secs[32];
        std::snprintf(secs, sizeof secs, "%.1f 秒", region.seconds);
        std::cerr << region.region << ": " << batchOutcomeName(region.outcome, region.started)
                  << " (" << secs << ")\n"
                  << std::flush;
    }
    draw(true);
}

void BatchStatus::clear() {
    std::lock_guard<std::mutex> hold(mutex_);
    erase();
}

void BatchStatus::erase() {
    for (int i = 0; i < linesDrawn_; ++i)
        std::cerr << "\033[1A\r\033[K";
    linesDrawn_ = 0;
    std::cerr << std::flush;
}

void BatchStatus::draw(bool force) {
    if (!onTerminal_)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(100))
        return;
    lastDraw_ = now;
    std::string text;
    std::uint64_t bytesNow = bytesDone_;
    for (const auto& [index, run] : running_) {
        const auto labels = progressLabels(run.progress);
        const long secs =
            static_cast<long>(std::chrono::duration<double>(now - run.started).count());
        std::string line = "  " + names_[index] + "  " + labels[1] + " " + labels[2];
        if (std::optional<double> share = runShare(run.progress)) {
            line += "  " + percent(*share);
            bytesNow += static_cast<std::uint64_t>(*share * static_cast<double>(bytes_[index]));
        }
        text += line + "  " + std::to_string(secs) + "s\n";
    }
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    std::string total =
        "全体: " + std::to_string(done_) + "/" + std::to_string(names_.size()) + " 地域";
    if (bytesTotal_ > 0) {
        const double share = static_cast<double>(bytesNow) / static_cast<double>(bytesTotal_);
        total += "  " + percent(share);
        if (share > 0.02 && elapsed > 2)
            total +=
                "  残り約" + std::to_string(static_cast<long>(elapsed / share - elapsed)) + "s";
    }
    total += "  [" + std::to_string(static_cast<long>(elapsed)) + "s]\n";
    erase();
    std::cerr << text << total << std::flush;
    linesDrawn_ = static_cast<int>(running_.size()) + 1;
}

}  // namespace mrk2::cli
