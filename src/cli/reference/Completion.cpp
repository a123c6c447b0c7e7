#include "cli/reference/Completion.h"

#include <sstream>
#include <stdexcept>

#include "cli/Command.h"
#include "cli/reference/DeclaredCommands.h"

namespace mrk2::cli {

namespace {

// A bash case of one function: `key` as a quoted pattern (a trailing "*"
// left outside the quotes), echoing `answer`.
struct Case {
    std::string key;
    std::string answer;
};

void function(std::ostream& out, const std::string& name, const std::string& what,
              const std::string& subject, const std::vector<Case>& cases) {
    out << "# " << what << "\n" << name << "() {\n    case " << subject << " in\n";
    for (const Case& c : cases) {
        const bool open = c.key.ends_with("*");
        out << "        \"" << (open ? c.key.substr(0, c.key.size() - 1) : c.key) << "\""
            << (open ? "*" : "") << ") echo \"" << c.answer << "\" ;;\n";
    }
    out << "    esac\n}\n";
}

void declarations(std::ostream& out, const DeclaredCommand& root) {
    std::vector<NamedCommand> all{{"", &root}};
    std::string commands;
    for (const NamedCommand& named : declaredCommands(root)) {
        all.push_back(named);
        if (named.path.find(' ') == std::string::npos)
            commands += (commands.empty() ? "" : " ") + named.path;
    }
    std::vector<Case> parts, options, values, positions;
    for (const NamedCommand& named : all) {
        std::string partNames;
        for (const DeclaredCommand* part : named.declared->parts)
            partNames += (partNames.empty() ? "" : " ") + part->command->name();
        if (!partNames.empty() && !named.path.empty())
            parts.push_back({named.path, partNames});
        std::string optionNames;
        int position = 0;
        for (const DeclaredWord& word : named.declared->words) {
            for (const std::string& name : word.names) {
                optionNames += (optionNames.empty() ? "" : " ") + name;
                if (!word.value.empty())
                    values.push_back({named.path + ":" + name, word.value});
            }
            if (word.isOption())
                continue;
            const bool repeated = word.value.ends_with("...");
            positions.push_back(
                {named.path + ":" + (repeated ? "*" : std::to_string(++position)), word.value});
        }
        if (!optionNames.empty())
            options.push_back({named.path, optionNames});
    }
    out << "_mrk2cli_commands=\"" << commands << "\"\n";
    function(out, "_mrk2cli_parts", "The parts of a command of several.", "$1", parts);
    function(out, "_mrk2cli_options", "The options of a command (\"\": of the global line).", "$1",
             options);
    function(out, "_mrk2cli_value", "What an option of a command takes (nothing: a flag).",
             "\"$1:$2\"", values);
    function(out, "_mrk2cli_position", "What the Nth word after a command is.", "\"$1:$2\"",
             positions);
}

}  // namespace

std::string completionScript(const std::string& templateText, const DeclaredCommand& root) {
    std::ostringstream out;
    std::istringstream lines(templateText);
    bool filled = false;
    for (std::string line; std::getline(lines, line);) {
        if (line == "@DECLARATIONS@") {
            declarations(out, root);
            filled = true;
        } else {
            out << line << "\n";
        }
    }
    if (!filled)
        throw std::runtime_error("the completion template has no line @DECLARATIONS@");
    return out.str();
}

}  // namespace mrk2::cli
