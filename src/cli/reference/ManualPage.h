#pragma once
#include <string>

#include "cli/Declaration.h"

namespace mrk2::cli {

// The manual page from its template (mrk2cli.1.in): the line "@SYNOPSIS@"
// becomes the synopsis, each line "@USAGE command@" ("@USAGE learn list@")
// the heading of that command as its declaration writes it, in roff, and
// "@PROJECT_VERSION@" the version. The prose stays the template's. Throws
// std::runtime_error for a declared command the page leaves out, or a line
// naming one that is not declared: the page follows the help or the build
// stops.
std::string manualPage(const std::string& templateText, const DeclaredCommand& root);

}  // namespace mrk2::cli
