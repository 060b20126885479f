#pragma once

#include "datafile/DataFile.h"

#include <QString>

class CaptionTable;

// The error shown when a data file cannot be saved: "Can't save data file",
// then why, in the user's language where the reason is the program's own and
// in the system's words otherwise.
QString saveFailureMessage(const CaptionTable& captions, const DataFile::SaveFailure& failure);
