#include "cli/ArgList.h"

namespace mrk2::cli {

bool ArgList::flag(const std::string& name) {
    bool found = false;
    for (auto it = args_.begin(); it != args_.end();) {
        if (*it == name) {
            found = true;
            it = args_.erase(it);
        } else {
            ++it;
        }
    }
    return found;
}

std::optional<std::string> ArgList::option(const std::string& name) {
    auto all = options(name);
    if (all.empty())
        return std::nullopt;
    return all.back();
}

std::vector<std::string> ArgList::options(const std::string& name) {
    std::vector<std::string> values;
    for (std::size_t i = 0; i < args_.size();) {
        if (args_[i] == name) {
            if (i + 1 >= args_.size()) {
                if (error_.empty())
                    error_ = name + " には値が必要です。";
                args_.erase(args_.begin() + static_cast<long>(i));
                continue;
            }
            values.push_back(args_[i + 1]);
            args_.erase(args_.begin() + static_cast<long>(i),
                        args_.begin() + static_cast<long>(i) + 2);
        } else if (args_[i].rfind(name + "=", 0) == 0) {
            values.push_back(args_[i].substr(name.size() + 1));
            args_.erase(args_.begin() + static_cast<long>(i));
        } else {
            ++i;
        }
    }
    return values;
}

std::vector<std::string> ArgList::positional() {
    std::vector<std::string> out;
    bool literal = false;
    for (const auto& a : args_) {
        if (!literal && a == "--") {
            literal = true;
            continue;
        }
        if (!literal && a.size() > 1 && a[0] == '-' && error_.empty()) {
            error_ = "不明なオプションです: " + a;
        }
        out.push_back(a);
    }
    return out;
}

}  // namespace mrk2::cli
