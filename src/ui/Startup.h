#pragma once
#include <QString>
#include <string>

#include "ui/Session.h"

namespace mrk2::ui {

class GuiPerson;

// The lock file that tells a second start that one runs already: per user and
// per settings file, in the temporary directory. Two copies on one settings file
// would overwrite each other's values; copies on different files may run side by side.
QString singleInstanceLockPath(const std::string& iniPath);

// The text a second start shows: the executable's name and "は起動済みです".
QString alreadyRunningText();

// InitApplication: the settings file's values. Throws what keeps the tool from
// going on (a value that is no number); the caller tells it.
void initApplication(Session& session, GuiPerson& person, const std::string& iniPath);

}  // namespace mrk2::ui
