#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <functional>

// What one run of a program took: wall time and peak resident memory, as a
// separate process, so the figure is the command's alone.
struct ChildFigures {
    double seconds = 0;
    double peakMegabytes = 0;
    bool succeeded = false;
};

// Runs program with arguments, input on its standard input and its standard
// output into outputPath (discarded when empty), a few times: the best time,
// as other load only ever adds to it, and the highest peak. beforeEach, when
// given, clears what a run leaves behind (a file that must not exist yet).
ChildFigures measureChild(const QString& program, const QStringList& arguments, const QByteArray& input,
                          const QString& outputPath = {}, const std::function<void()>& beforeEach = {}, int runs = 5);
