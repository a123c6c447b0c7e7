#include "data/LearningSearch.h"

#include "data/SchemaNames.h"

namespace mrk2 {

namespace {

const std::string kSelectAll = std::string("select * from ") + tables::kLearning;
const std::string kDbNo = fields::kDbNo;
const std::string kType = fields::kType;
const std::string kRegistered = fields::kRegistered;
const std::string kTransformed = fields::kTransformed;

// Both forms grow together so that they cannot drift apart.
struct Cond {
    std::string text;
    std::string sql;
    void append(const std::string& t, const std::string& s) {
        text += t;
        sql += s;
    }
    bool empty() const { return text.empty(); }
};

std::string contains(const std::string& column) {
    return column + " LIKE ?1 ESCAPE '\\'";
}

}  // namespace

LearningQuery allLearningEntries() {
    return LearningQuery{kSelectAll, "", std::nullopt};
}

std::string likeContainsPattern(const std::string& keyword) {
    std::string p = "%";
    for (char c : keyword) {
        if (c == '%' || c == '_' || c == '\\')
            p += '\\';
        p += c;
    }
    p += '%';
    return p;
}

LearningQuery buildLearningQuery(const LearningSearch& s, const LearningCatalog& catalog) {
    Cond c;
    // Owner. An entry whose owner is Null is shown as common, so it is searched
    // as common too; likewise a Null level counts as the municipality level.
    if (s.commonUser) {
        c.append(" " + kDbNo + "=0", " IFNULL(" + kDbNo + ", 0) = 0");
    } else if (s.localUser) {
        int d = catalog.findComboIndex(s.dbName);
        if (d >= 0) {
            const std::string& id = catalog.idList[static_cast<std::size_t>(d)];
            c.append(" " + kDbNo + "=" + id, " IFNULL(" + kDbNo + ", 0) = " + id);
        }
    }

    LearningQuery q;
    const std::string& kw = s.keyword;
    if (!kw.empty()) {
        // Level.
        std::string level;
        std::string levelSql;
        const std::string type = " IFNULL(" + kType + ", 2)";
        if (s.town && s.city) {
            level = " (" + kType + "=2 or " + kType + "=3)";
            levelSql = type + " IN (2, 3)";
        } else if (s.city) {
            level = " " + kType + "=2";
            levelSql = type + " = 2";
        } else if (s.town) {
            level = " " + kType + "=3";
            levelSql = type + " = 3";
        }
        if (!level.empty()) {
            if (!c.empty())
                c.append(" and", " AND");
            c.append(level, levelSql);
        }
        // Joint.
        if (!c.empty())
            c.append(" and", " AND");
        // Phrase.
        const std::string star = "'*" + kw + "*'";
        switch (s.field) {
            case PhraseField::Registered:
                c.append(" " + kRegistered + " like " + star, " " + contains(kRegistered));
                break;
            case PhraseField::Transformed:
                c.append(" " + kTransformed + " like " + star, " " + contains(kTransformed));
                break;
            case PhraseField::Either:
                c.append(" (" + kTransformed + " like " + star + " or " + kRegistered + " like " +
                             star + ")",
                         " (" + contains(kTransformed) + " OR " + contains(kRegistered) + ")");
                break;
        }
        q.pattern = likeContainsPattern(kw);
    }

    q.text = kSelectAll;
    if (!c.empty())
        q.text += " where " + c.text;
    q.condition = c.sql;
    return q;
}

}  // namespace mrk2
