#pragma once
#include <optional>

#include "app/Outcome.h"
#include "app/Person.h"
#include "app/StopControl.h"
#include "import/ImportRequest.h"

namespace mrk2 {

// What "登録" and "更新" of the CSV selection window and mrk2cli's register and
// update do: refuse an empty list, run the import, and say how it ended
// ("処理を完了しました。" or "処理を中止しました。"). Nothing when the run was
// refused before it began (the person has been told why).
std::optional<Outcome> startImportRun(const ImportRequest& request, StopControl& stop,
                                      Person& person);

}  // namespace mrk2
