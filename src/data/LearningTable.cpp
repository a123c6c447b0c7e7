#include "data/LearningTable.h"

#include "data/Database.h"

namespace mrk2 {

namespace {

const std::string kColumns = "fldID, fld登録字句, fld変換字句, fld参照回数, fldDbNo, fldType";

LearningEntry readRow(const Statement& st) {
    LearningEntry e;
    e.id = st.int64(0);
    e.registered = st.optText(1);
    e.transformed = st.optText(2);
    e.refCount = st.optText(3);
    e.dbNo = st.optInt64(4);
    e.type = st.optInt64(5);
    return e;
}

std::string whereClause(const std::string& condition) {
    return (condition.empty() ? std::string() : " WHERE " + condition) + " ORDER BY fldID";
}

void bindValues(Statement& st, const LearningValues& v) {
    st.bind(1, v.registered);
    st.bind(2, v.transformed);
    st.bind(3, v.refCount);
    if (v.dbNo)
        st.bind(4, *v.dbNo);
    else
        st.bindNull(4);
    if (v.type)
        st.bind(5, *v.type);
    else
        st.bindNull(5);
}

}  // namespace

std::vector<std::int64_t> selectLearningIds(Database& db, const std::string& condition,
                                            const std::optional<std::string>& pattern) {
    Statement st = db.prepare("SELECT fldID FROM 学習" + whereClause(condition));
    if (pattern)
        st.bind(1, *pattern);
    std::vector<std::int64_t> ids;
    while (st.step())
        ids.push_back(st.int64(0));
    return ids;
}

std::optional<LearningEntry> readLearningEntry(Database& db, std::int64_t id) {
    Statement st = db.prepare("SELECT " + kColumns + " FROM 学習 WHERE fldID = ?1");
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return readRow(st);
}

std::vector<LearningEntry> selectLearningEntries(Database& db, const std::string& condition,
                                                 const std::optional<std::string>& pattern) {
    Statement st = db.prepare("SELECT " + kColumns + " FROM 学習" + whereClause(condition));
    if (pattern)
        st.bind(1, *pattern);
    std::vector<LearningEntry> rows;
    while (st.step())
        rows.push_back(readRow(st));
    return rows;
}

std::int64_t insertLearningEntry(Database& db, const LearningValues& values) {
    Statement st = db.prepare(
        "INSERT INTO 学習 (fld登録字句, fld変換字句, fld参照回数, fldDbNo, fldType) "
        "VALUES (?1, ?2, ?3, ?4, ?5)");
    bindValues(st, values);
    st.run();
    return db.lastInsertRowid();
}

bool updateLearningEntry(Database& db, std::int64_t id, const LearningValues& values) {
    // An owner or level the form could not tell keeps what the row holds.
    Statement st = db.prepare(
        "UPDATE 学習 SET fld登録字句 = ?1, fld変換字句 = ?2, fld参照回数 = ?3, "
        "fldDbNo = CASE WHEN ?4 IS NULL THEN fldDbNo ELSE ?4 END, "
        "fldType = CASE WHEN ?5 IS NULL THEN fldType ELSE ?5 END WHERE fldID = ?6");
    bindValues(st, values);
    st.bind(6, id);
    st.run();
    return db.changes() > 0;
}

bool deleteLearningEntry(Database& db, std::int64_t id) {
    Statement st = db.prepare("DELETE FROM 学習 WHERE fldID = ?1");
    st.bind(1, id);
    st.run();
    return db.changes() > 0;
}

std::optional<std::int64_t> parseRefCount(const std::string& text) {
    std::size_t b = text.find_first_not_of(' ');
    if (b == std::string::npos)
        return std::nullopt;
    std::size_t e = text.find_last_not_of(' ');
    std::int64_t value = 0;
    for (std::size_t i = b; i <= e; ++i) {
        char c = text[i];
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
        if (value > 2147483647)
            return std::nullopt;
    }
    return value;
}

}  // namespace mrk2
