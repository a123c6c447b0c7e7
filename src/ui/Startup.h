#pragma once
#include <QString>

#include "ui/Session.h"

namespace mrk2::ui {

class GuiPerson;

// The lock file that tells a second start of this executable that one runs
// already: per user and per executable path, in the temporary directory.
QString singleInstanceLockPath();

// The text a second start shows: the executable's name and "は起動済みです".
QString alreadyRunningText();

// InitApplication: the settings file's path and its values. False when the tool
// cannot go on (the reason has been shown).
bool initApplication(Session& session, GuiPerson& person);

}  // namespace mrk2::ui
