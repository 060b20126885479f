#pragma once

#include "datafile/DataFile.h"

#include <QString>
#include <QStringList>

class CaptionTable;

// The two types of data file as the user meets them: their names, their
// extensions and the filters of the file dialogs.
namespace FileTypes {

// "zv" or "zvx".
QString suffix(DataFile::Format format);
// "Zantrove data file" or "Zantrove protected file", in the user's language.
QString description(DataFile::Format format, const CaptionTable& captions);

// For Open: both types together, then each alone. A file is recognised by
// its content, so every filter opens either format.
QString openFilter(const CaptionTable& captions);
// For Save as: one filter per format, at the index of the format's value.
QStringList saveFilters(const CaptionTable& captions);

} // namespace FileTypes
