#include "cli/Declaration.h"

#include <CLI/CLI.hpp>
#include <charconv>

#include "cli/Command.h"
#include "cli/CommandLine.h"

namespace mrk2::cli {

namespace {

std::optional<std::int64_t> wholeNumber(const std::string& text) {
    std::int64_t n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (ec != std::errc() || end != text.data() + text.size())
        return std::nullopt;
    return n;
}

// A check whose refusal is the whole Japanese sentence; CLI11 puts the
// option's name before it, which the command line takes off again.
CLI::Validator rule(std::function<bool(const std::string&)> accepts, std::string refusal) {
    return CLI::Validator(
        [accepts = std::move(accepts), refusal = std::move(refusal)](std::string& value) {
            return accepts(value) ? std::string() : refusal + value;
        },
        "");
}

std::string joined(const std::vector<std::string>& words, const char* between) {
    std::string out;
    for (const std::string& w : words)
        out += (out.empty() ? "" : between) + w;
    return out;
}

}  // namespace

Declaration::Declaration(CommandLine& line, DeclaredCommand& declared)
    : line_(line), declared_(declared) {}

std::string DeclaredWord::text() const {
    std::string shown = joined(names, "|");
    if (!value.empty())
        shown += (shown.empty() ? "" : " ") + value;
    return optional ? "[" + shown + "]" : shown;
}

void Declaration::word(DeclaredWord w) {
    declared_.usage += (declared_.usage.empty() ? "" : " ") + w.text();
    declared_.words.push_back(std::move(w));
}

// CLI11 names a positional by a plain word; the usage shows `shown`.
std::string Declaration::positionalName() const {
    return "word" + std::to_string(declared_.parser->get_options().size());
}

void Declaration::positional(const char* shown, std::string& into) {
    declared_.parser->add_option(positionalName(), into)->required();
    word({{}, shown, false});
}

void Declaration::optionalPositional(const char* shown, std::string& into) {
    declared_.parser->add_option(positionalName(), into);
    word({{}, shown, true});
}

void Declaration::positionals(const char* shown, std::vector<std::string>& into, bool required) {
    declared_.parser->add_option(positionalName(), into)->required(required);
    word({{}, shown, !required});
}

void Declaration::positional(const char* shown, std::int64_t& into) {
    declared_.parser
        ->add_option_function<std::string>(
            positionalName(), [&into](const std::string& text) { into = *wholeNumber(text); })
        ->required()
        ->check(rule([](const std::string& t) { return wholeNumber(t).has_value(); },
                     std::string(shown) + " は整数です: "));
    word({{}, shown, false});
}

void Declaration::option(const char* name, const char* value, std::optional<std::string>& into) {
    declared_.parser->add_option_function<std::string>(
        name, [&into](const std::string& text) { into = text; });
    word({{name}, value});
}

void Declaration::option(const char* name, const char* value, std::optional<int>& into, int min,
                         int max) {
    const std::string refusal = std::string(name) + " には " + std::to_string(min) + " から " +
                                std::to_string(max) + " までの数を指定して下さい: ";
    declared_.parser
        ->add_option_function<std::string>(
            name, [&into](const std::string& text) { into = static_cast<int>(*wholeNumber(text)); })
        ->check(rule(
            [min, max](const std::string& t) {
                auto n = wholeNumber(t);
                return n && *n >= min && *n <= max;
            },
            refusal));
    word({{name}, value});
}

void Declaration::choice(const char* name, const std::vector<std::string>& words,
                         std::string& into) {
    declared_.parser->add_option(name, into)
        ->check(rule(
            [words](const std::string& t) {
                return std::find(words.begin(), words.end(), t) != words.end();
            },
            std::string(name) + " は " + joined(words, ", ") + " のいずれかです: "));
    word({{name}, joined(words, "|")});
}

void Declaration::list(const char* name, const char* values, std::vector<std::string>& into) {
    declared_.parser->add_option(name, into);
    word({{name}, values});
}

void Declaration::flag(const char* name, bool& into) {
    declared_.parser->add_flag(name, into);
    word({{name}, ""});
}

void Declaration::eitherFlag(const char* a, bool& intoA, const char* b, bool& intoB) {
    // Given twice, or both: which answer was meant cannot be known.
    auto* first =
        declared_.parser->add_flag(a, intoA)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    auto* second =
        declared_.parser->add_flag(b, intoB)->multi_option_policy(CLI::MultiOptionPolicy::Throw);
    first->excludes(second);
    word({{a, b}, ""});
}

void Declaration::subcommand(Command& part) {
    declared_.parts.push_back(&line_.declarePart(declared_, part));
}

}  // namespace mrk2::cli
