#pragma once

class QWidget;

namespace WindowPlacement {

// Moves window to the middle of the available area of its screen.
void centreOnScreen(QWidget& window);

} // namespace WindowPlacement
