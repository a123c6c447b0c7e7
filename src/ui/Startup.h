#pragma once
#include <QString>

#include "app/AppState.h"

namespace mrk2::ui {

class GuiPerson;

// The lock file that tells a second start of this executable that one runs
// already: per user and per executable path, in the temporary directory.
QString singleInstanceLockPath();

// The text a second start shows: the executable's name and "は起動済みです".
QString alreadyRunningText();

// InitApplication: configuration path and file, database globals, workspace.
// False when the tool cannot go on (the reason has been shown).
bool initApplication(AppState& state, GuiPerson& person);

}  // namespace mrk2::ui
