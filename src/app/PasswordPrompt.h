#pragma once

#include "datafile/DataFile.h"

#include <QString>

#include <optional>

// Asks the user for the password of a data file: the one it opens with, or a
// new one for it, for a new file or in place of the open file's own. Empty
// when the user cancelled.
class PasswordPrompt {
public:
    enum class Purpose { Existing, New, Change };

    virtual ~PasswordPrompt() = default;
    virtual std::optional<QString> askPassword(const QString& path, DataFile::Format format, Purpose purpose) = 0;
};
