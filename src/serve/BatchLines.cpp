#include "serve/BatchLines.h"

namespace mrk2::serve {

void BatchLines::end(const Sink& sink) {
    if (!pending_.empty() && pending_.back() == '\r')
        pending_.pop_back();
    // The byte kept past the limit was no CR: the line is too long after all.
    if (pending_.size() > kMaxLineBytes)
        overflow_ = true;
    sink(Line{overflow_ ? std::string_view() : std::string_view(pending_), overflow_});
    pending_.clear();
    overflow_ = false;
}

void BatchLines::feed(std::string_view piece, const Sink& sink) {
    while (!piece.empty()) {
        const std::size_t lf = piece.find('\n');
        const std::string_view part = piece.substr(0, lf);
        // One byte more than the limit is kept, for the CR that may end the line.
        if (!overflow_ && pending_.size() + part.size() <= kMaxLineBytes + 1)
            pending_.append(part);
        else {
            overflow_ = true;
            pending_.clear();
        }
        if (lf == std::string_view::npos)
            return;
        end(sink);
        piece.remove_prefix(lf + 1);
    }
}

void BatchLines::finish(const Sink& sink) {
    if (overflow_ || !pending_.empty())
        end(sink);
}

}  // namespace mrk2::serve
