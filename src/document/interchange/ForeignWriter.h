#pragma once

#include "document/interchange/ForeignEntries.h"

#include <QString>

// Takes an export as it is walked, a group's entries before its subgroups,
// and writes each piece at once: nothing but the entry at hand is held
// outside the document. The first group begun is the root group.
class ForeignWriter {
public:
    virtual ~ForeignWriter() = default;

    virtual void beginGroup(const QString& name) = 0;
    virtual void entry(const ForeignEntry& entry) = 0;
    virtual void endGroup() = 0;
    // Writes what is still held back; false when the device refused any of it.
    virtual bool finish() = 0;
};
