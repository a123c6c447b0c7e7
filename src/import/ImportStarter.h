#pragma once

#include "base/Outcome.h"
#include "base/Person.h"
#include "base/RunHost.h"
#include "import/ImportRequest.h"

namespace mrk2 {

// Everything an import run needs from the person, settled before it begins, on
// the person's thread: an empty list and a bad region name are refused, a file
// listed twice is told and loaded once, a missing base database or POST is
// refused, and each missing file is asked about ("…が見つかりません。継続しますか？").
// Completed with `request` ready to run (Yes to every missing file sets
// skipMissingFiles); Refused, told; or Stopped when a missing file was answered
// No (the end message "処理を中止しました。" is then told too).
Outcome prepareImportRun(ImportRequest& request, Person& person);

// What "登録" and "更新" of the CSV selection window and mrk2cli's register and
// update do: prepare the run, take the directory's writer lock, run the import on
// the face's host, let the lock go, and tell how it ended (its failure, then
// "処理を完了しました。" with the summary and the run's notes in one message,
// "処理を中止しました。" after a Stop, or "処理に失敗しました。"). Refused when it
// never began. A completed outcome's summary ends with the run's time (without
// summaryInEndMessage it is that line alone).
Outcome startImportRun(const ImportRequest& request, Person& person, RunHost& host);

}  // namespace mrk2
