#include "app/ui/PasswordWindowPrompt.h"

#include "config/CaptionTable.h"
#include "datafile/ui/FormPassword.h"
#include "document/DocumentTitle.h"

PasswordWindowPrompt::PasswordWindowPrompt(TFormPassword& window, const CaptionTable& captions)
    : m_window(window)
    , m_captions(captions)
{
}

std::optional<QString> PasswordWindowPrompt::askPassword(const QString& path, DataFile::Format format, Purpose purpose)
{
    m_window.setWindowTitle(purpose == Purpose::Change ? m_captions.GetCaption(QStringLiteral("PasswordCaptionChange"),
                                                                               QStringLiteral("Change password"))
                                                       : DocumentTitle::programTitle());
    m_window.setFile(path, format);
    m_window.SetPasswordMode(purpose != Purpose::Existing);
    if (m_window.exec() != QDialog::Accepted)
        return std::nullopt;
    return m_window.takePassword();
}
