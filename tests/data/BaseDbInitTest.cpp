#include "data/BaseDbInit.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "base/Cp932.h"
#include "base/Error.h"
#include "data/Catalog.h"
#include "data/Database.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

using namespace mrk2;
using namespace mrk2::test;

namespace {

class BaseDbInitTest : public ::testing::Test {
  protected:
    void SetUp() override {
        createBaseDatabase(basePath);
        prefs = loadPrefNames(basePath);
    }
    TempDir dir;
    std::string basePath = dir.file("mrk2.mdb");
    std::vector<Prefecture> prefs;
};

// Prefecture name and Japan Post's reading of it, in JIS code order.
const std::pair<const char*, const char*> kJapanPost[47] = {
    {"北海道", "ﾎｯｶｲﾄﾞｳ"}, {"青森県", "ｱｵﾓﾘｹﾝ"},    {"岩手県", "ｲﾜﾃｹﾝ"},   {"宮城県", "ﾐﾔｷﾞｹﾝ"},
    {"秋田県", "ｱｷﾀｹﾝ"},   {"山形県", "ﾔﾏｶﾞﾀｹﾝ"},   {"福島県", "ﾌｸｼﾏｹﾝ"},  {"茨城県", "ｲﾊﾞﾗｷｹﾝ"},
    {"栃木県", "ﾄﾁｷﾞｹﾝ"},  {"群馬県", "ｸﾞﾝﾏｹﾝ"},    {"埼玉県", "ｻｲﾀﾏｹﾝ"},  {"千葉県", "ﾁﾊﾞｹﾝ"},
    {"東京都", "ﾄｳｷｮｳﾄ"},  {"神奈川県", "ｶﾅｶﾞﾜｹﾝ"}, {"新潟県", "ﾆｲｶﾞﾀｹﾝ"}, {"富山県", "ﾄﾔﾏｹﾝ"},
    {"石川県", "ｲｼｶﾜｹﾝ"},  {"福井県", "ﾌｸｲｹﾝ"},     {"山梨県", "ﾔﾏﾅｼｹﾝ"},  {"長野県", "ﾅｶﾞﾉｹﾝ"},
    {"岐阜県", "ｷﾞﾌｹﾝ"},   {"静岡県", "ｼｽﾞｵｶｹﾝ"},   {"愛知県", "ｱｲﾁｹﾝ"},   {"三重県", "ﾐｴｹﾝ"},
    {"滋賀県", "ｼｶﾞｹﾝ"},   {"京都府", "ｷｮｳﾄﾌ"},     {"大阪府", "ｵｵｻｶﾌ"},   {"兵庫県", "ﾋｮｳｺﾞｹﾝ"},
    {"奈良県", "ﾅﾗｹﾝ"},    {"和歌山県", "ﾜｶﾔﾏｹﾝ"},  {"鳥取県", "ﾄｯﾄﾘｹﾝ"},  {"島根県", "ｼﾏﾈｹﾝ"},
    {"岡山県", "ｵｶﾔﾏｹﾝ"},  {"広島県", "ﾋﾛｼﾏｹﾝ"},    {"山口県", "ﾔﾏｸﾞﾁｹﾝ"}, {"徳島県", "ﾄｸｼﾏｹﾝ"},
    {"香川県", "ｶｶﾞﾜｹﾝ"},  {"愛媛県", "ｴﾋﾒｹﾝ"},     {"高知県", "ｺｳﾁｹﾝ"},   {"福岡県", "ﾌｸｵｶｹﾝ"},
    {"佐賀県", "ｻｶﾞｹﾝ"},   {"長崎県", "ﾅｶﾞｻｷｹﾝ"},   {"熊本県", "ｸﾏﾓﾄｹﾝ"},  {"大分県", "ｵｵｲﾀｹﾝ"},
    {"宮崎県", "ﾐﾔｻﾞｷｹﾝ"}, {"鹿児島県", "ｶｺﾞｼﾏｹﾝ"}, {"沖縄県", "ｵｷﾅﾜｹﾝ"},
};

std::string unquoted(const std::string& s) {
    if (s.size() >= 2 && s.front() == '"' && s.back() == '"')
        return s.substr(1, s.size() - 2);
    return s;
}

}  // namespace

TEST_F(BaseDbInitTest, HoldsThe47PrefecturesInJisOrderWithJapanPostReadings) {
    ASSERT_EQ(prefs.size(), 47u);
    for (std::size_t i = 0; i < 47; ++i) {
        SCOPED_TRACE(kJapanPost[i].first);
        EXPECT_EQ(prefs[i].kanji, kJapanPost[i].first);
        EXPECT_EQ(prefs[i].kana + prefs[i].kanaSuffix, kJapanPost[i].second);
    }
}

TEST_F(BaseDbInitTest, TokyoReadsAsTheJapanPostFileSpellsIt) {
    std::ifstream in(std::string(MRK2_SAMPLE_DATA_DIR) + "/13TOKYO.CSV", std::ios::binary);
    std::string line;
    ASSERT_TRUE(std::getline(in, line)) << "sample file missing";
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    auto text = cp932ToUtf8(line);
    ASSERT_TRUE(text);
    std::vector<std::string> cols;
    std::size_t start = 0;
    for (std::size_t comma; (comma = text->find(',', start)) != std::string::npos;
         start = comma + 1)
        cols.push_back(unquoted(text->substr(start, comma - start)));
    ASSERT_GT(cols.size(), 6u);
    const std::string reading = cols[3], name = cols[6];
    const Prefecture& tokyo = prefs[12];
    EXPECT_EQ(tokyo.kanji, name);
    EXPECT_EQ(tokyo.kana + tokyo.kanaSuffix, reading);
}

TEST_F(BaseDbInitTest, HasTheThreeTablesWithTheirFieldsAndRefusesEmptyTexts) {
    Database db = Database::open(basePath);
    db.exec(
        "INSERT INTO \"ＤＢ一覧\" (fldDbName, fldDbDir) VALUES ('東京都', '/d');"
        "INSERT INTO \"学習\" (\"fld登録字句\", \"fld変換字句\", \"fld参照回数\", fldDbNo, fldType)"
        " VALUES ('ｱ', 'イ', 1, 0, 2)");
    EXPECT_EQ(db.lastInsertRowid(), 1);
    for (const char* sql : {"INSERT INTO \"ＤＢ一覧\" (fldDbName, fldDbDir) VALUES ('', '/d')",
                            "INSERT INTO \"学習\" (\"fld登録字句\") VALUES ('')",
                            "UPDATE \"都道府県名\" SET fldPrefType = '' WHERE rowid = 1"}) {
        SCOPED_TRACE(sql);
        try {
            db.exec(sql);
            ADD_FAILURE() << "accepted an empty text";
        } catch (const Error& e) {
            EXPECT_EQ(e.number() & 0xff, 19);  // constraint
        }
    }
}

TEST_F(BaseDbInitTest, NeverOverwritesAnExistingFileAndLeavesNoWorkFile) {
    std::string other = dir.write("other.mdb", "not mine");
    EXPECT_THROW(createBaseDatabase(other), Error);
    EXPECT_EQ(readFile(other), "not mine");
    EXPECT_THROW(createBaseDatabase(basePath), Error);
    EXPECT_THROW(createBaseDatabase(dir.file("no/such/dir/mrk2.mdb")), Error);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"mrk2.mdb", "other.mdb"}));
}

// init refuses a directory that has its base database: nothing began.
TEST_F(BaseDbInitTest, InitRefusesAnExistingBaseDatabaseAndMakesAMissingDirectory) {
    RecordingPerson person;
    EXPECT_EQ(initBaseDatabase({dir.path()}, person).kind, Outcome::Kind::Refused);
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("既に存在します"), std::string::npos);

    const std::string fresh = dir.file("a/b");
    EXPECT_EQ(initBaseDatabase({fresh}, person).kind, Outcome::Kind::Completed);
    EXPECT_EQ(loadPrefNames(fresh + "/mrk2.mdb").size(), 47u);
}
