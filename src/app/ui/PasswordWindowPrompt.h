#pragma once

#include "app/PasswordPrompt.h"

class TFormPassword;

// The prompt as the password window shows it.
class PasswordWindowPrompt final : public PasswordPrompt {
public:
    explicit PasswordWindowPrompt(TFormPassword& window);

    std::optional<QString> askPassword(const QString& path, DataFile::Format format, Purpose purpose) override;

private:
    TFormPassword& m_window;
};
