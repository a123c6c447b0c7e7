#pragma once
#include <optional>
#include <string>

#include "data/LearningCatalog.h"

namespace mrk2 {

// Which phrase the keyword is looked for in.
enum class PhraseField {
    Registered,   // optSearchReg: fld登録字句
    Transformed,  // optSearchTran: fld変換字句
    Either        // neither option chosen: either phrase
};

// The search frame of the editor as the operator set it.
struct LearningSearch {
    std::string keyword;  // txtKeyWord, as typed
    PhraseField field = PhraseField::Registered;
    bool town = false;        // chkSearchTown
    bool city = true;         // chkSearchCity
    bool localUser = false;   // chkLocalUser
    bool commonUser = false;  // chkCommonUser
    std::string dbName;       // text of cmbSearchDbID
};

// A search over 学習, in two forms built side by side from the same steps:
// `text` is the statement as the operator's tools have always written it (the
// keyword pasted between quotes, '*' as the wildcard) and is only shown;
// `condition` is what runs, with the keyword bound to ?1 as a LIKE pattern whose
// own '%', '_' and '\' are escaped, so that any keyword, a quote included, finds
// exactly the entries that contain it.
struct LearningQuery {
    std::string text;                    // "select * from 学習" [+ " where " + COND]
    std::string condition;               // "" for every entry
    std::optional<std::string> pattern;  // bound to ?1 when the keyword is used
};

// "select * from 学習": what the editor shows whenever it becomes active.
LearningQuery allLearningEntries();

// The condition in this order: owner, then (only with a keyword) level, a joint
// " and", and the phrase test.
LearningQuery buildLearningQuery(const LearningSearch& search, const LearningCatalog& catalog);

// "%KW%" with '%', '_' and '\' of KW escaped by '\'.
std::string likeContainsPattern(const std::string& keyword);

}  // namespace mrk2
