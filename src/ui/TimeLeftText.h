#pragma once
#include <QString>
#include <chrono>

namespace mrk2::ui {

// How the progress window states the time a run still needs: "残り1分未満",
// "残り約12分", "残り約1時間5分". Minutes are rounded up, since an estimate that
// runs out before the run does reads as a broken promise.
QString timeLeftText(std::chrono::seconds left);

}  // namespace mrk2::ui
