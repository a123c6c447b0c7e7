#include "base/TaskPool.h"

#include <algorithm>
#include <atomic>
#include <thread>

namespace mrk2 {

std::vector<std::exception_ptr> runTasks(std::size_t count, std::size_t threads,
                                         const std::function<void(std::size_t)>& task) {
    std::vector<std::exception_ptr> errors(count);
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t n = next++; n < count; n = next++) {
            try {
                task(n);
            } catch (...) {
                errors[n] = std::current_exception();
            }
        }
    };
    std::vector<std::thread> pool;
    const std::size_t extra = std::min(std::max<std::size_t>(threads, 1), count) - (count > 0);
    for (std::size_t t = 0; t < extra; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
    return errors;
}

}  // namespace mrk2
