#pragma once
#include <set>
#include <string>

namespace mrk2::test {

// The text of a manual page (a source file of the tree, by its path from the
// root, or one the build wrote, by its absolute path) as a reader of the
// formatted page sees it: font changes, "\c" and the "\-" of
// options taken out, so that "\fB\-\-ini\fR \fIFILE\fR" reads "--ini FILE".
std::string manPageText(const std::string& sourcePath);

// Every "--word" in a text.
std::set<std::string> longOptionsIn(const std::string& text);

}  // namespace mrk2::test
