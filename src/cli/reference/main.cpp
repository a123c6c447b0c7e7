// mrk2cli-reference: writes the manual page and the bash completion of mrk2cli
// from the same command declarations that parse its words and print its help,
// at build time, so that a new command or option reaches all four by being
// declared once. Never installed.
//   mrk2cli-reference man|completion TEMPLATE OUTPUT
#include <exception>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "cli/CommandLine.h"
#include "cli/reference/Completion.h"
#include "cli/reference/ManualPage.h"

int main(int argc, char** argv) {
    const std::string kind = argc == 4 ? argv[1] : "";
    if (kind != "man" && kind != "completion") {
        std::cerr << "usage: mrk2cli-reference man|completion TEMPLATE OUTPUT\n";
        return 2;
    }
    try {
        std::ifstream in(argv[2], std::ios::binary);
        if (!in)
            throw std::runtime_error(std::string("cannot read ") + argv[2]);
        std::ostringstream templateText;
        templateText << in.rdbuf();
        mrk2::cli::CommandLine line;
        const std::string text =
            kind == "man" ? mrk2::cli::manualPage(templateText.str(), line.declared())
                          : mrk2::cli::completionScript(templateText.str(), line.declared());
        std::ofstream out(argv[3], std::ios::binary | std::ios::trunc);
        out << text;
        out.close();
        if (!out)
            throw std::runtime_error(std::string("cannot write ") + argv[3]);
    } catch (const std::exception& e) {
        std::cerr << "mrk2cli-reference: " << argv[2] << ": " << e.what() << "\n";
        return 1;
    }
    return 0;
}
