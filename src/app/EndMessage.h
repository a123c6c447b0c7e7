#pragma once
#include <chrono>
#include <cstdio>
#include <string>

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

}  // namespace mrk2
