#include "app/AppState.h"

#include "data/Database.h"

namespace mrk2 {

AppState::AppState() = default;
AppState::~AppState() = default;

}  // namespace mrk2
