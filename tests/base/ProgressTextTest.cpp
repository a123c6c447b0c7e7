#include "base/ProgressText.h"
#include "base/RunEstimate.h"

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
    p.fileName = "13000-17.0a\\13_2024.csv";  // an archive member: its own name
    p.fileInArchive = true;
    EXPECT_EQ(progressLabels(p)[2], "13_2024.csv (2/5)");
    // Past the files, the file lines go blank.
    p.step = ProgressStep::Compacting;
    EXPECT_EQ(progressLabels(p),
              (Lines{"データベース作成中 (東京.mdb)", "", "データベースの最適化中です", ""}));
}

TEST(RunEstimate, TheBarFollowsTheBytesReadThenTheStepsAndTheTimeLeftWaitsForData) {
    using namespace std::chrono_literals;
    Progress p;
    p.step = ProgressStep::Staging;
    EXPECT_FALSE(runShare(p)) << "no files known yet";
    p.bytesTotal = 1000;
    p.bytesRead = 500;
    EXPECT_DOUBLE_EQ(*runShare(p), 0.45);
    EXPECT_FALSE(timeLeft(p, 500ms)) << "too early to tell";
    EXPECT_EQ(*timeLeft(p, 9s), 11s);
    p.bytesRead = 2000;  // a file that grew while it was read
    EXPECT_DOUBLE_EQ(*runShare(p), 0.9);
    p.step = ProgressStep::Compacting;
    EXPECT_DOUBLE_EQ(*runShare(p), 0.95);
}
