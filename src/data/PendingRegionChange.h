#pragma once
#include <optional>
#include <string>

namespace mrk2 {

// How a region's file and its catalog row move together.
//
// A region is two things in two files: DBDIR/<region>.mdb and its row in the
// catalog ＤＢ一覧 of the base database mrk2.mdb. No single step changes both,
// so a writer that is killed between the two would leave a row without its
// file or a file that no row names. The writer therefore says what it is about
// to do before it does it, and the next start of any command finishes it:
//
// 1. Under the writer lock (WriterLock.h), the writer records the change in
//    DBDIR/mrk2.pending ("register" or "delete", and the region), written in
//    full, flushed and renamed into place: the record is all there or absent.
//    The runs of a national build change several regions at once under one
//    lock: the record then lists each change under way, one pair of lines
//    each, and every run adds and removes its own pair.
// 2. It makes the change. A register renames the finished region file into
//    place, then adds (or brings up to date) the catalog row. A deletion takes
//    the base database for itself, deletes the row, removes the file, commits.
// 3. It removes its entry from the record (the file goes with the last one). A run that fails while
// alive undoes its own half
//    (a new region's file whose row could not be added is removed again) and
//    removes the record too, so a failure reported is never finished later.
//
// Whoever starts next (every writer through its starter, every mrk2cli command,
// the desktop tool's region list: OperationStarter.h) finishes a record it
// finds when no writer holds the lock: a "delete" removes
// the file and the row, whichever is still there; a "register" adds the row of
// a region file that is in place (a file not yet in place had not replaced
// anything). Both are safe to repeat, so a kill during the finishing is
// finished the same way by the one after. A base database left with a hot
// journal (a catalog or dictionary commit cut off) is rolled back by the first
// connection that may write it; a reader's own open rolls it back too
// (Database::open), so no reader fails on "attempt to write a readonly
// database". tests/reliability/KillTest.cpp kills these steps at random moments
// and checks that both files are always old together or new together.
enum class RegionChange { Register, Delete };

// Step 1; the caller holds the writer lock of `dbDir`.
void recordRegionChange(const std::string& dbDir, RegionChange change, const std::string& region);
// Step 3: the entry of `region` goes.
void forgetRegionChange(const std::string& dbDir, const std::string& region);
// Whether a change is recorded (a writer's at work, or one a killed writer
// left); takes no lock.
bool hasLeftRegionChange(const std::string& dbDir);
// Finishes every change a killed writer left; the caller holds the writer lock.
// A record with an entry no writer makes (a region name the name rule refuses,
// an unknown kind) is acted on in no part: it is renamed to
// DBDIR/mrk2.pending.rejected, and the text returned says so for the person.
std::optional<std::string> finishLeftRegionChange(const std::string& dbDir);

}  // namespace mrk2
