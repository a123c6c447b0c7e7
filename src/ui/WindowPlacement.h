#pragma once

class QWidget;

namespace mrk2::ui {

// Puts a top-level window in the middle of the screen it is on (or the primary
// screen), so that every window of the tool opens centred.
void centerOnScreen(QWidget* window);

}  // namespace mrk2::ui
