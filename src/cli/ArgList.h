#pragma once
#include <optional>
#include <string>
#include <vector>

namespace mrk2::cli {

// A small reader for a command's own words: options may stand anywhere;
// everything else is a positional argument in order.
class ArgList {
  public:
    explicit ArgList(std::vector<std::string> args) : args_(std::move(args)) {}

    // Removes "--name" and returns whether it was there.
    bool flag(const std::string& name);
    // Removes "--name VALUE" (or "--name=VALUE"); error() tells a missing value,
    // and an option given twice (which of the two was meant cannot be known).
    std::optional<std::string> option(const std::string& name);
    // Removes "--name VALUE..." wherever it stands: every word after it up to
    // the next option or "--" is one of its values, as a help line such as
    // "[--remove CSV...]" promises; it may also be given again.
    std::vector<std::string> valueList(const std::string& name);
    // What is left; an unknown "--x" left here is reported by error().
    std::vector<std::string> positional();
    // The first problem found, or "".
    const std::string& error() const { return error_; }

  private:
    std::vector<std::string> options(const std::string& name);
    void fail(const std::string& why);
    std::vector<std::string> args_;
    std::string error_;
};

}  // namespace mrk2::cli
