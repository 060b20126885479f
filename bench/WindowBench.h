#pragma once

class QString;

// The costs a user feels in the program's windows: start-up, opening and
// saving a large file, searching it, the structural edits with their tree
// rebuilds, typing in a field, and the memory it all takes.
void runWindowBench(int recordCount);

// Opens the .zv file at path (password "bench") in the program's main window
// and shows its tree, as a user's open does; false when it does not open.
bool openInProgram(const QString& path);
