#include "app/ui/PasswordWindowPrompt.h"

#include "datafile/ui/PasswordWindow.h"

PasswordWindowPrompt::PasswordWindowPrompt(TFormPassword& window)
    : m_window(window)
{
}

std::optional<QString> PasswordWindowPrompt::askPassword(const QString& path, DataFile::Format format, Purpose purpose)
{
    m_window.setFile(path, format);
    m_window.SetPasswordMode(purpose == Purpose::New);
    if (m_window.exec() != QDialog::Accepted)
        return std::nullopt;
    return m_window.takePassword();
}
