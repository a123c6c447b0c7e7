#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace mrk2 {

class Database;

struct FixedTerm {
    int code = 0;
    std::string name;
};

// One position-reference CSV file: the pair (directory, file name) identifies it,
// compared exactly.
struct SourceFile {
    std::string dir;
    std::string file;
    bool operator==(const SourceFile&) const = default;
};

struct Prefecture {
    std::string kanji;       // fldKanjiName followed by its suffix when there is one
    std::string kana;        // fldKatakanaName
    std::string kanaSuffix;  // "ﾄ", "", "ﾌ" or "ｹﾝ"
};

// Everything the windows, the command line and the engine share for one session.
// The GUI, the CLI and every test own exactly one of these; there are no globals.
struct AppState {
    AppState();
    ~AppState();
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    // Configuration (mrk2tool.ini, section MRK).
    std::string strIniPath;
    std::string strDbDir;
    std::string strPrefDb;  // region name + ".mdb"
    std::string strInputDir;
    std::string strOutputDir;
    std::string strDelimiter = ",";
    std::string strPosInfoStart = "1";
    std::string strPostalStart = "1";
    std::string strPostalPath;
    std::int32_t lngMinRecs = 1000;
    std::array<int, 12> intPosInfoFieldNo{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};
    std::array<int, 7> intPostalFieldNo{2, 3, 4, 5, 6, 7, 8};
    std::vector<FixedTerm> fixedTerms;  // at most kMaxFixedTerms

    // Databases.
    bool workspaceOpen = false;  // wsMain
    std::string strBaseDbPath;
    std::string strDbListTable = "ＤＢ一覧";
    bool blnBaseDbOpen = false;
    std::unique_ptr<Database> dbBase;

    // The selected region. strRegionName is the text of the region box as the
    // operator left it; an import run registers the region under this name.
    std::string strRegionName;
    std::string strPrefDbPath;
    std::vector<SourceFile>
        srcFiles;  // intSrcFileCount/strSrcDir/strSrcFile, at most kMaxSourceFiles

    // Cancel protocol.
    bool blnProcessing = false;
    bool blnForceQuit = false;

    // Directory chooser hand-over.
    std::string strSelectPath;
    bool blnSelectOk = false;

    // Prefecture names from the base database (at most kMaxPrefectures).
    std::vector<Prefecture> prefs;

    // Distinct prefecture names of the files loaded by the current run (strImportPref).
    std::vector<std::string> importPrefs;
};

}  // namespace mrk2
