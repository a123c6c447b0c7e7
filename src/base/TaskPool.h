#pragma once
#include <cstddef>
#include <exception>
#include <functional>
#include <vector>

namespace mrk2 {

// Runs task(0) … task(count - 1), each once and begun in that order, on
// `threads` threads (the calling one among them), and returns when all have
// ended. What a task throws ends that task only: it comes back as the task's
// entry of the result (empty for a task that returned), so one failing task
// neither ends the process nor keeps the others from running.
std::vector<std::exception_ptr> runTasks(std::size_t count, std::size_t threads,
                                         const std::function<void(std::size_t)>& task);

}  // namespace mrk2
