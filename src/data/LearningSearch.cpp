#include "data/LearningSearch.h"

namespace mrk2 {

namespace {

const std::string kSelectAll = "select * from 学習";

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

std::string contains(const char* column) {
    return std::string(column) + " LIKE ?1 ESCAPE '\\'";
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
        c.append(" fldDbNo=0", " IFNULL(fldDbNo, 0) = 0");
    } else if (s.localUser) {
        int d = catalog.findComboIndex(s.dbName);
        if (d >= 0) {
            const std::string& id = catalog.idList[static_cast<std::size_t>(d)];
            c.append(" fldDbNo=" + id, " IFNULL(fldDbNo, 0) = " + id);
        }
    }

    LearningQuery q;
    const std::string& kw = s.keyword;
    if (!kw.empty()) {
        // Level.
        const char* level = nullptr;
        const char* levelSql = nullptr;
        if (s.town && s.city) {
            level = " (fldType=2 or fldType=3)";
            levelSql = " IFNULL(fldType, 2) IN (2, 3)";
        } else if (s.city) {
            level = " fldType=2";
            levelSql = " IFNULL(fldType, 2) = 2";
        } else if (s.town) {
            level = " fldType=3";
            levelSql = " IFNULL(fldType, 2) = 3";
        }
        if (level) {
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
                c.append(" fld登録字句 like " + star, " " + contains("fld登録字句"));
                break;
            case PhraseField::Transformed:
                c.append(" fld変換字句 like " + star, " " + contains("fld変換字句"));
                break;
            case PhraseField::Either:
                c.append(" (fld変換字句 like " + star + " or fld登録字句 like " + star + ")",
                         " (" + contains("fld変換字句") + " OR " + contains("fld登録字句") + ")");
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
