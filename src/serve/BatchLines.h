#pragma once
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace mrk2::serve {

// The lines of a batch body as its pieces arrive, split as `mrk2cli lookup -`
// splits standard input: LF ends a line, a CR before it is dropped, a last line
// without LF counts when it is not empty. Memory stays bounded whatever comes:
// a line longer than kMaxLineBytes is reported as too long with none of its text
// kept (no address of 1,000 characters needs more bytes, in UTF-8 or CP932).
class BatchLines {
  public:
    static constexpr std::size_t kMaxLineBytes = 4000;

    struct Line {
        std::string_view text;  // empty when tooLong
        bool tooLong = false;
    };
    using Sink = std::function<void(const Line&)>;

    void feed(std::string_view piece, const Sink& sink);
    // Ends the body: reports a last line without its LF.
    void finish(const Sink& sink);

  private:
    void end(const Sink& sink);

    std::string pending_;
    bool overflow_ = false;
};

}  // namespace mrk2::serve
