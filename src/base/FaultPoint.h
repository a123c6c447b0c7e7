#pragma once

namespace mrk2 {

// The moments at which a writer may die and must leave every database old or
// new: before a file is copied, removed or renamed over another, before a
// transaction commits, at each step of a run. With MRK2_KILL_AT_STEP=N in the
// environment the N-th of them the process passes ends it with SIGKILL, as a
// power cut would, so that a test can land a kill on each moment in turn
// instead of guessing them by the clock. Without it a moment costs a load.
void faultPoint();

}  // namespace mrk2
