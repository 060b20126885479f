#pragma once

#include "datafile/DataFile.h"
#include "datafile/PasswordGenerator.h"
#include "platform/ui/TrackedDialog.h"

#include <QString>

#include <functional>
#include <optional>

class CapsLockState;
class CapsLockWarning;
class CaptionTable;
class MessageService;
class QAction;
class QIcon;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolButton;

// The one modal window through which the user gives a password: enter mode
// (one box) to open a file or unlock, new-password mode (password and retype)
// for Save as and Change password, with an eye that shows what the two boxes
// hold and a line saying when they differ. Created once and reused; every
// showing starts with empty, masked boxes and Ok disabled.
class TFormPassword : public TrackedDialog {
    Q_OBJECT
public:
    TFormPassword(const CaptionTable& captions, MessageService& messages, CapsLockState& capsLock,
                  QWidget* parent = nullptr);
    ~TFormPassword() override;

    // What exec() gives when the user chose Exit at the lock.
    static constexpr int ExitChosen = 2;

    // true: new-password mode (password and retype); false: enter mode.
    void SetPasswordMode(bool retype);
    // The line naming the file; shown in full as its tooltip.
    void setFileNameLine(const QString& text);
    // The file at path in format: the line with its name without folder and
    // "File", the line naming its type, and the passwords the type can hold.
    void setFile(const QString& path, DataFile::Format format);
    // The password confirmed with Ok, kept until the next showing; none is
    // kept from a locked showing, whose check has used it. The boxes
    // themselves are wiped whenever the window closes.
    QString password() const;
    // The confirmed password, handed over: the window keeps no copy of it,
    // so the caller's wipe is the last of it.
    QString takePassword();
    void ApplyPasswordCaptions();
    // The picture of the eye; without one it shows its text.
    void setRevealIcon(const QIcon& icon);

    // While isLocked() is true, Ok closes the window only when
    // checkFilePassword accepts the typed password, Exit takes the place of
    // Cancel, and neither Escape nor the close box closes it.
    void setLockGuard(std::function<bool()> isLocked, std::function<bool(const QString&)> checkFilePassword);

    // With a source, new-password mode offers "Generate…", which puts the
    // password the source gives (none when it is cancelled) into both boxes.
    // The source shows the password to the user; the boxes keep it masked.
    // It is asked for a password of a .zv file's fixed length, or for a
    // protected file of any length the user chooses; either way for a file's
    // password, which the user must be able to give again.
    using PasswordSource = std::function<std::optional<QString>(QWidget* parent, PasswordGenerator::Purpose purpose)>;
    void setGeneratedPasswordSource(PasswordSource source);

    void done(int result) override;

protected:
    void prepareForUse() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildControls();
    void layOutControls();
    void startPrompt();
    void wipeBoxes();
    QString typedPassword() const;
    bool inputAcceptable() const;
    // Ok and the line saying that the boxes differ, after the boxes changed.
    void followInput();
    bool locked() const;
    QString unfitPasswordMessage() const;
    void JvXPButtonOkClick();
    void JvXPButtonGenerateClick();

    const CaptionTable& m_captions;
    MessageService& m_messages;
    std::function<bool()> m_isLocked;
    std::function<bool(const QString&)> m_checkFilePassword;
    PasswordSource m_generatedPasswordSource;
    bool m_retype = false;
    DataFile::Format m_format = DataFile::Format::Plain;
    QString m_accepted;

    QLabel* m_labelFileName = nullptr;
    QLabel* m_labelFileType = nullptr;
    QLabel* m_labelPassword = nullptr;
    QLineEdit* m_editPassword = nullptr;
    QLabel* m_labelRetype = nullptr;
    QLineEdit* m_editRetype = nullptr;
    QAction* m_reveal = nullptr;
    QToolButton* m_buttonReveal = nullptr;
    QLabel* m_labelDiffer = nullptr;
    QPushButton* m_buttonGenerate = nullptr;
    CapsLockWarning* m_capsLockWarning;
    QPushButton* m_buttonOk = nullptr;
    QPushButton* m_buttonCancel = nullptr;
    QPushButton* m_buttonExit = nullptr;
};
