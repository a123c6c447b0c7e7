#include "data/LearningTable.h"

#include "data/Database.h"
#include "data/SchemaNames.h"

namespace mrk2 {

namespace {

const std::string kTable = quoteIdentifier(tables::kLearning);
const std::string kId = quoteIdentifier(fields::kId);
const std::string kValueColumns = columnList(
    {fields::kRegistered, fields::kTransformed, fields::kRefCount, fields::kDbNo, fields::kType});
const std::string kColumns = kId + ", " + kValueColumns;

// An owner or level the form could not tell keeps what the row holds.
std::string unlessNull(const char* column, const char* parameter) {
    const std::string q = quoteIdentifier(column);
    return q + " = CASE WHEN " + parameter + " IS NULL THEN " + q + " ELSE " + parameter + " END";
}

const std::string kUpdate = "UPDATE " + kTable + " SET " + quoteIdentifier(fields::kRegistered) +
                            " = ?1, " + quoteIdentifier(fields::kTransformed) + " = ?2, " +
                            quoteIdentifier(fields::kRefCount) + " = ?3, " +
                            unlessNull(fields::kDbNo, "?4") + ", " +
                            unlessNull(fields::kType, "?5") + " WHERE " + kId + " = ?6";

LearningEntry readRow(const Statement& st) {
    LearningEntry e;
    e.id = st.int64(0);
    e.registered = st.optionalText(1);
    e.transformed = st.optionalText(2);
    e.refCount = st.optionalText(3);
    e.dbNo = st.optionalInt64(4);
    e.type = st.optionalInt64(5);
    return e;
}

std::string whereClause(const std::string& condition) {
    return (condition.empty() ? std::string() : " WHERE " + condition) + " ORDER BY " + kId;
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
    Statement st = db.prepare("SELECT " + kId + " FROM " + kTable + whereClause(condition));
    if (pattern)
        st.bind(1, *pattern);
    std::vector<std::int64_t> ids;
    while (st.step())
        ids.push_back(st.int64(0));
    return ids;
}

std::optional<LearningEntry> readLearningEntry(Database& db, std::int64_t id) {
    Statement st = db.prepare("SELECT " + kColumns + " FROM " + kTable + " WHERE " + kId + " = ?1");
    st.bind(1, id);
    if (!st.step())
        return std::nullopt;
    return readRow(st);
}

std::vector<LearningEntry> selectLearningEntries(Database& db, const std::string& condition,
                                                 const std::optional<std::string>& pattern) {
    Statement st = db.prepare("SELECT " + kColumns + " FROM " + kTable + whereClause(condition));
    if (pattern)
        st.bind(1, *pattern);
    std::vector<LearningEntry> rows;
    while (st.step())
        rows.push_back(readRow(st));
    return rows;
}

std::int64_t insertLearningEntry(Database& db, const LearningValues& values) {
    static const std::string insert =
        "INSERT INTO " + kTable + " (" + kValueColumns + ") VALUES (?1, ?2, ?3, ?4, ?5)";
    Statement st = db.prepare(insert);
    bindValues(st, values);
    st.run();
    return db.lastInsertRowid();
}

bool updateLearningEntry(Database& db, std::int64_t id, const LearningValues& values) {
    Statement st = db.prepare(kUpdate);
    bindValues(st, values);
    st.bind(6, id);
    st.run();
    return db.changes() > 0;
}

bool deleteLearningEntry(Database& db, std::int64_t id) {
    static const std::string remove = "DELETE FROM " + kTable + " WHERE " + kId + " = ?1";
    Statement st = db.prepare(remove);
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
