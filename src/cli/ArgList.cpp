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

namespace {

bool isOptionWord(const std::string& word) {
    return word.size() > 1 && word[0] == '-';
}

}  // namespace

void ArgList::fail(const std::string& why) {
    if (error_.empty())
        error_ = why;
}

std::optional<std::string> ArgList::option(const std::string& name) {
    auto all = options(name);
    if (all.empty())
        return std::nullopt;
    if (all.size() > 1)
        fail(name + " は一度だけ指定して下さい。");
    return all.front();
}

std::vector<std::string> ArgList::valueList(const std::string& name) {
    std::vector<std::string> values;
    for (std::size_t i = 0; i < args_.size();) {
        if (args_[i] == "--")
            break;
        if (args_[i] != name) {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < args_.size() && !isOptionWord(args_[end]))
            values.push_back(args_[end++]);
        if (end == i + 1)
            fail(name + " には値が必要です。");
        args_.erase(args_.begin() + static_cast<long>(i), args_.begin() + static_cast<long>(end));
    }
    return values;
}

std::vector<std::string> ArgList::options(const std::string& name) {
    std::vector<std::string> values;
    for (std::size_t i = 0; i < args_.size();) {
        if (args_[i] == name) {
            if (i + 1 >= args_.size()) {
                fail(name + " には値が必要です。");
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
        if (!literal && isOptionWord(a))
            fail("不明なオプションです: " + a);
        out.push_back(a);
    }
    return out;
}

}  // namespace mrk2::cli
