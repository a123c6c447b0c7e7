#pragma once
#include <chrono>
#include <cstdio>
#include <string>

#include "base/Outcome.h"

namespace mrk2 {

// The last line of a summary: how long the operation took, as every operation
// that tells a summary says it.
inline std::string elapsedTimeText(std::chrono::steady_clock::time_point started) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    char text[32];
    std::snprintf(text, sizeof text, "時間: %.1f 秒", seconds);
    return text;
}

// The desktop tool's end message of a completed operation, with its summary
// below when it keeps one.
inline std::string completedMessage(const std::string& summary) {
    std::string text = "処理を完了しました。";
    if (!summary.empty())
        text += "\n\n" + summary;
    return text;
}

// The last word of an operation that did not complete: 中止 only for the
// person's own Stop (or a No to a question before the run), a failure as a
// failure; its own report has said why.
inline const char* notCompletedMessage(const Outcome& outcome) {
    return outcome.kind == Outcome::Kind::Stopped ? "処理を中止しました。" : "処理に失敗しました。";
}

}  // namespace mrk2
