#pragma once

#include "datafile/DataFile.h"

#include <QString>

#include <optional>

// Asks the user for the password of a data file: the one it opens with, or a
// new one for it. Empty when the user cancelled.
class PasswordPrompt {
public:
    enum class Purpose { Existing, New };

    virtual ~PasswordPrompt() = default;
    virtual std::optional<QString> askPassword(const QString& path, DataFile::Format format, Purpose purpose) = 0;
};
