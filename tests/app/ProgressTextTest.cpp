#include "app/ProgressText.h"

#include <gtest/gtest.h>

using namespace mrk2;

TEST(ProgressLabels, AFileBeingStagedShowsTheDatabaseThePhaseTheFileAndItsLines) {
    Progress p;
    p.step = ProgressStep::Staging;
    p.target = "東京.mdb";
    p.file = 2;
    p.files = 5;
    p.fileName = "13101_2023.csv";
    p.rows = 1234;
    p.runRows = 5000;
    using Lines = std::array<std::string, 4>;
    EXPECT_EQ(progressLabels(p), (Lines{"データベース作成中 (東京.mdb)", "一時テーブルに登録中",
                                        "13101 (2/5)", "1234"}));
    // Past the files, the file lines go blank.
    p.step = ProgressStep::Compacting;
    EXPECT_EQ(progressLabels(p),
              (Lines{"データベース作成中 (東京.mdb)", "", "データベースの最適化中です", ""}));
}
