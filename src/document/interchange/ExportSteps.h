#pragma once

#include "base/HandOverQueue.h"
#include "document/interchange/DocumentEntry.h"

#include <QString>

// What an export's walk meets, in order: a group begun, a record made an
// entry, the group ended.
struct ExportStep {
    enum class Kind { BeginGroup, Entry, EndGroup };

    Kind kind = Kind::Entry;
    QString groupName;
    DocumentEntry entry;
};

// From the thread that walks a document to the one that writes the steps.
using ExportStepQueue = HandOverQueue<ExportStep>;
