// The one starter of every writer: what ends how, the lock free before anyone is
// told, and what a killed writer left finished before the run.
#include "data/OperationStarter.h"

#include <gtest/gtest.h>

#include "base/Error.h"
#include "base/Paths.h"
#include "base/WriterLock.h"
#include "data/BaseDbInit.h"
#include "data/Catalog.h"
#include "support/RecordingPerson.h"
#include "support/TempDir.h"

namespace mrk2::test {
namespace {

class OperationStarterTest : public ::testing::Test {
  protected:
    // An operation whose check and run do what the test says, and which notes
    // whether the run began.
    WriterOperation operation(std::function<Outcome()> run) {
        WriterOperation op;
        op.dbDir = dir.path();
        op.run = [this, run](StopControl&, ProgressSink&) {
            ran = true;
            return run();
        };
        return op;
    }
    Outcome::Kind start(const WriterOperation& op) {
        return startWriterOperation(op, person, person).kind;
    }

    TempDir dir;
    RecordingPerson person;
    bool ran = false;
};

TEST_F(OperationStarterTest, EachEndingMapsToOneKindAndIsToldOnce) {
    const auto completed = [] { return Outcome::completed(); };
    struct Case {
        const char* what;
        WriterOperation op;
        Outcome::Kind kind;
        bool ran;
        std::size_t told;
    };
    WriterOperation refusedCheck = operation(completed);
    refusedCheck.check = [](Person&) -> Outcome { throw Refusal("だめです。"); };
    WriterOperation unreadableCheck = operation(completed);
    unreadableCheck.check = [](Person&) -> Outcome { throw Error(5, "読めません。"); };
    WriterOperation answeredNo = operation(completed);
    answeredNo.check = [](Person&) { return Outcome::stopped(); };
    const Case cases[] = {
        {"a check's refusal", refusedCheck, Outcome::Kind::Refused, false, 1},
        {"a check that cannot read", unreadableCheck, Outcome::Kind::Refused, false, 1},
        {"a No to the check's question", answeredNo, Outcome::Kind::Stopped, false, 0},
        {"a run that refuses", operation([]() -> Outcome { throw Refusal("ありません。"); }),
         Outcome::Kind::Refused, true, 1},
        {"a run that fails", operation([]() -> Outcome { throw Error(13, "失敗です。"); }),
         Outcome::Kind::Failed, true, 1},
        {"the person's Stop", operation([] { return Outcome::stopped(); }), Outcome::Kind::Stopped,
         true, 0},
        {"a run to its end", operation(completed), Outcome::Kind::Completed, true, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        person.messages.clear();
        ran = false;
        EXPECT_EQ(start(c.op), c.kind);
        EXPECT_EQ(ran, c.ran);
        EXPECT_EQ(person.messages.size(), c.told) << person.allMessages();
    }

    // Another writer at work: nothing begins, and the refusal says so.
    WriterLock held = WriterLock::take(dir.path());
    person.messages.clear();
    ran = false;
    EXPECT_EQ(start(operation(completed)), Outcome::Kind::Refused);
    EXPECT_FALSE(ran);
    ASSERT_EQ(person.messages.size(), 1u);
    EXPECT_NE(person.messages[0].text.find("更新中です"), std::string::npos);
}

TEST_F(OperationStarterTest, TheLockIsHeldForTheRunAndFreeWhenTheEndIsTold) {
    std::vector<bool> heldAt;
    WriterOperation op = operation([&] {
        heldAt.push_back(WriterLock::heldNow(dir.path()));
        return Outcome::completed();
    });
    op.tell = [&](Person&, const Outcome&) { heldAt.push_back(WriterLock::heldNow(dir.path())); };
    EXPECT_EQ(start(op), Outcome::Kind::Completed);
    EXPECT_EQ(heldAt, (std::vector<bool>{true, false}));
    // The short operations run in place, under the same lock.
    heldAt.clear();
    EXPECT_EQ(startWriterOperation(op, person).kind, Outcome::Kind::Completed);
    EXPECT_EQ(heldAt, (std::vector<bool>{true, false}));
}

TEST_F(OperationStarterTest, WhatAKilledWriterLeftIsFinishedBeforeTheRun) {
    createBaseDatabase(dir.file("mrk2.mdb"));
    dir.write("大阪.mdb", "");
    dir.write("mrk2.pending", "register\n大阪\n");
    std::vector<std::string> seen;
    EXPECT_EQ(start(operation([&] {
                  seen = loadDbList(dir.file("mrk2.mdb"));
                  return Outcome::completed();
              })),
              Outcome::Kind::Completed);
    EXPECT_EQ(seen, std::vector<std::string>{"大阪"});
    EXPECT_FALSE(fileExists(dir.file("mrk2.pending")));

    // A record no writer of ours made is set aside and told before the run.
    dir.write("mrk2.pending", "delete\n../x\n");
    person.messages.clear();
    std::size_t toldBeforeRun = 0;
    EXPECT_EQ(start(operation([&] {
                  toldBeforeRun = person.messages.size();
                  return Outcome::completed();
              })),
              Outcome::Kind::Completed);
    EXPECT_EQ(toldBeforeRun, 1u);
    EXPECT_TRUE(fileExists(dir.file("mrk2.pending.rejected")));
}

// A reader's start leaves a recorded change to the writer that holds the lock:
// the change may still be that writer's own.
TEST_F(OperationStarterTest, SettlingLeavesARunningWritersChangeAlone) {
    dir.write("mrk2.pending", "delete\n大阪\n");
    dir.write("大阪.mdb", "");
    WriterLock held = WriterLock::take(dir.path());
    settleDatabaseDirectory(dir.path(), person);
    EXPECT_TRUE(fileExists(dir.file("大阪.mdb")) && fileExists(dir.file("mrk2.pending")));
    EXPECT_TRUE(person.messages.empty());
}

}  // namespace
}  // namespace mrk2::test
