#pragma once

class QString;

// What the command-line tool's commands and the program's open take against
// the floor (reading, deciphering and parsing the file, nothing else): time
// as a ratio to the floor's, peak memory as a multiple of the file. Each runs
// as a process of its own, so its memory is its alone.
void runFileBench(int recordCount, int largeRecordCount);

// The .zv file at path with recordCount records of the bench document
// (password "bench"), made by a process of its own for the above.
bool writeBenchFile(const QString& path, int recordCount);

// The floor itself, run as its own process by the above: reads the .zv file
// at path (password "bench") into a document; false when it does not open.
bool readFloor(const QString& path);
