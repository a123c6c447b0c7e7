#include "cli/reference/ManualPage.h"

#include <cctype>
#include <map>
#include <sstream>
#include <stdexcept>

#include "cli/Command.h"
#include "cli/reference/DeclaredCommands.h"

namespace mrk2::cli {

namespace {

// A minus in roff is "\-": a plain "-" may print as a hyphen that cannot be
// copied into a shell.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text)
        out += c == '-' ? std::string("\\-") : std::string(1, c);
    return out;
}

std::string bold(const std::string& text) {
    return "\\fB" + escaped(text) + "\\fR";
}

std::string italic(const std::string& text) {
    return "\\fI" + escaped(text) + "\\fR";
}

// "CSV", "OLD.mdb", "reg": what is replaced in italics, what is typed as it
// stands in bold.
std::string roffAlternative(const std::string& alt) {
    const std::size_t dot = alt.find('.');
    if (!std::isupper(static_cast<unsigned char>(alt[0])))
        return bold(alt);
    return dot == std::string::npos ? italic(alt)
                                    : italic(alt.substr(0, dot)) + bold(alt.substr(dot));
}

// "CSV|ZIP...", "reg|tran|both", "LAT LON|-": each word of each alternative as
// roffAlternative has it, the marks and blanks between plain.
std::string roffValue(std::string value) {
    const std::string more = "...";
    const bool repeated = value.size() > more.size() && value.ends_with(more);
    if (repeated)
        value.resize(value.size() - more.size());
    std::string out;
    std::istringstream alternatives(value);
    for (std::string alt; std::getline(alternatives, alt, '|');) {
        out += out.empty() ? "" : "|";
        std::istringstream words(alt);
        std::string word;
        for (bool first = true; words >> word; first = false)
            out += (first ? "" : " ") + roffAlternative(word);
    }
    return repeated ? out + more : out;
}

std::string roffWord(const DeclaredWord& word) {
    std::string shown;
    for (const std::string& name : word.names)
        shown += (shown.empty() ? "" : "|") + bold(name);
    if (!word.value.empty())
        shown += (shown.empty() ? "" : " ") + roffValue(word.value);
    return word.optional ? "[" + shown + "]" : shown;
}

std::string roffWords(const DeclaredCommand& declared) {
    std::string out;
    for (const DeclaredWord& word : declared.words)
        out += " " + roffWord(word);
    return out;
}

std::string heading(const NamedCommand& named) {
    std::string out;
    std::istringstream names(named.path);
    for (std::string name; names >> name;)
        out += (out.empty() ? "" : " ") + bold(name);
    out += roffWords(*named.declared);
    if (!named.declared->parts.empty()) {
        std::string parts;
        for (const DeclaredCommand* part : named.declared->parts)
            parts += (parts.empty() ? "" : "|") + bold(part->command->name());
        out += " " + parts + " ...";
    }
    return out;
}

}  // namespace

std::string manualPage(const std::string& templateText, const DeclaredCommand& root) {
    std::map<std::string, const DeclaredCommand*> unwritten;
    for (const NamedCommand& named : declaredCommands(root))
        unwritten[named.path] = named.declared;
    const std::string usageMark = "@USAGE ";
    const std::string versionMark = "@PROJECT_VERSION@";
    std::ostringstream out;
    std::istringstream lines(templateText);
    for (std::string line; std::getline(lines, line);) {
        if (line == "@SYNOPSIS@") {
            line = bold("mrk2cli") + roffWords(root) + " " + italic("COMMAND") + " ...";
        } else if (line.starts_with(usageMark) && line.ends_with("@")) {
            const std::string path =
                line.substr(usageMark.size(), line.size() - usageMark.size() - 1);
            auto it = unwritten.find(path);
            if (it == unwritten.end())
                throw std::runtime_error("no command \"" + path +
                                         "\" is declared, or it is written twice");
            line = heading({path, it->second});
            unwritten.erase(it);
        }
        for (std::size_t at; (at = line.find(versionMark)) != std::string::npos;)
            line.replace(at, versionMark.size(), MRK2_VERSION);
        out << line << "\n";
    }
    if (!unwritten.empty())
        throw std::runtime_error("the manual page has no line " + usageMark +
                                 unwritten.begin()->first + "@");
    return out.str();
}

}  // namespace mrk2::cli
