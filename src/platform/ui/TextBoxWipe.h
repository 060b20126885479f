#pragma once

class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Empties boxes that may hold secrets so that their text does not linger in
// freed memory or in an undo step. Best effort: a line box's own text is
// overwritten; a multi-line box keeps its text in the document's inner buffer,
// which Qt does not expose, so only its undo steps are dropped with it.
namespace TextBoxWipe {

void wipe(QLineEdit& box);
void wipe(QPlainTextEdit& box);
// widget when it is a line or multi-line box, without any signal of change:
// the box is about to go and its value must stay where it was stored.
void wipeQuietly(QWidget& widget);

} // namespace TextBoxWipe
