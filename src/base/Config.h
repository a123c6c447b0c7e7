#pragma once
#include <string>

#include "base/Person.h"
#include "base/Settings.h"

namespace mrk2 {

// Reads every key of section MRK (defaults for missing or empty keys). A value
// that must be a number but is not throws mrk2::Error naming its key and value,
// with the settings file as context; so does a NUL byte in the file, naming its
// line. A fixed name without a comma is told to the
// person and ends the fixed names; loading still succeeds.
Settings loadSettings(const std::string& iniPath, Person& person);

// The keys the main window writes back when its directory changes or it closes.
struct DirectorySettings {
    std::string dbDir;           // DBDIR
    std::string regionFileName;  // PREFDIR
    std::string inputDir;        // INPUTDIR
    std::string outputDir;       // OUTPUTDIR
    std::string delimiter;       // DELIMITER
};

// DBDIR, PREFDIR, INPUTDIR, OUTPUTDIR, DELIMITER, in that order. A value that the
// file cannot hold so that it reads back the same (a character CP932 lacks or
// holds only as a look-alike, for one) is not written; the others are, and then
// mrk2::Refusal is thrown with the standard error report of each such value, one
// per line. A file that cannot be written is not reported.
void saveDirectories(const std::string& iniPath, const DirectorySettings& directories);

// POSINFOSTART, POSTALSTART, POSTALPATH, in that order, in the same way.
void saveStartLines(const std::string& iniPath, const std::string& posInfoStart,
                    const std::string& postalStart, const std::string& postalPath);

}  // namespace mrk2
