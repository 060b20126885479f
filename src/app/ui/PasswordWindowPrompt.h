#pragma once

#include "app/PasswordPrompt.h"

class CaptionTable;
class TFormPassword;

// The prompt as the password window shows it, titled by what it asks for.
class PasswordWindowPrompt final : public PasswordPrompt {
public:
    PasswordWindowPrompt(TFormPassword& window, const CaptionTable& captions);

    std::optional<QString> askPassword(const QString& path, DataFile::Format format, Purpose purpose) override;

private:
    TFormPassword& m_window;
    const CaptionTable& m_captions;
};
