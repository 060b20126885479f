#pragma once

#include "datafile/DataFile.h"

#include <QString>

#include <optional>

class TFormPassword;

// Asks the user for the password of a data file: the one it opens with, or a
// new one for it. Empty when the user cancelled.
class PasswordPrompt {
public:
    enum class Purpose { Existing, New };

    virtual ~PasswordPrompt() = default;
    virtual std::optional<QString> askPassword(const QString& path, DataFile::Format format, Purpose purpose) = 0;
};

// The prompt as the password window shows it.
class PasswordWindowPrompt final : public PasswordPrompt {
public:
    explicit PasswordWindowPrompt(TFormPassword& window);

    std::optional<QString> askPassword(const QString& path, DataFile::Format format, Purpose purpose) override;

private:
    TFormPassword& m_window;
};
