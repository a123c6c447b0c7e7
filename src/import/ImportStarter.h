#pragma once

#include "base/Outcome.h"
#include "base/Person.h"
#include "base/RunHost.h"
#include "import/ImportRequest.h"

namespace mrk2 {

// What "登録" and "更新" of the CSV selection window and mrk2cli's register and
// update do, through the writers' starter (OperationStarter.h). Before the run,
// on the person's thread: an empty list, a bad region name and a missing base
// database or POST are refused, a file listed twice is told and loaded once,
// and each missing file is asked about ("…が見つかりません。継続しますか？"; a No
// stops). Then the import on the face's host, and how it ended: its failure,
// then "処理を完了しました。" with the summary and the run's notes in one message,
// "処理を中止しました。" after a Stop, or "処理に失敗しました。". Refused when it
// never began. A completed outcome's summary ends with the run's time (without
// summaryInEndMessage it is that line alone).
Outcome startImportRun(const ImportRequest& request, Person& person, RunHost& host);

}  // namespace mrk2
