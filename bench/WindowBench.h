#pragma once

// The costs a user feels in the program's windows: start-up, opening and
// saving a large file, searching it, the structural edits with their tree
// rebuilds, typing in a field, and the memory it all takes.
void runWindowBench(int recordCount);
