#include "datafile/ui/FormPassword.h"

#include "base/SecureWipe.h"
#include "base/TextEncoding.h"
#include "config/CaptionTable.h"
#include "config/MnemonicGroup.h"
#include "datafile/DataFile.h"
#include "datafile/FileTypes.h"
#include "platform/MessageService.h"
#include "platform/ui/CapsLockWarning.h"
#include "platform/ui/PlainToolTip.h"
#include "platform/ui/TextBoxWipe.h"
#include "platform/ui/WindowPlacement.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include <utility>

namespace {

QLineEdit* createPasswordBox(const QString& name, QWidget* parent)
{
    auto* box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setEchoMode(QLineEdit::Password);
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    box->setMinimumWidth(177);
    return box;
}

// File names and captions are shown as written, never as markup.
QLabel* createLabel(const QString& name, QWidget* parent)
{
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setTextFormat(Qt::PlainText);
    return label;
}

} // namespace

TFormPassword::TFormPassword(const CaptionTable& captions, MessageService& messages, CapsLockState& capsLock,
                             QWidget* parent)
    : TrackedDialog(parent)
    , m_captions(captions)
    , m_messages(messages)
    , m_capsLockWarning(new CapsLockWarning(capsLock, *this))
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    buildControls();
    layOutControls();
    ApplyPasswordCaptions();
    SetPasswordMode(false);
    setFile(QString(), DataFile::Format::Plain);
}

TFormPassword::~TFormPassword()
{
    SecureWipe::wipe(m_accepted);
}

void TFormPassword::buildControls()
{
    m_labelFileName = createLabel(QStringLiteral("LabelFileName"), this);
    // A long name is cut at the window's edge; the tooltip shows it in full.
    m_labelFileName->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_labelFileType = createLabel(QStringLiteral("LabelFileType"), this);
    m_labelPassword = createLabel(QStringLiteral("LabelPassword"), this);
    m_labelRetype = createLabel(QStringLiteral("LabelRetype"), this);
    m_editPassword = createPasswordBox(QStringLiteral("EditPassword"), this);
    m_editRetype = createPasswordBox(QStringLiteral("EditRetype"), this);
    m_labelPassword->setBuddy(m_editPassword);
    m_labelRetype->setBuddy(m_editRetype);
    m_editPassword->installEventFilter(this);
    m_editRetype->installEventFilter(this);
    m_capsLockWarning->watchTyping(*m_editPassword);
    m_capsLockWarning->watchTyping(*m_editRetype);

    // Ctrl+H as in a record's secret fields.
    m_reveal = new QAction(this);
    m_reveal->setObjectName(QStringLiteral("ActionRevealPasswords"));
    m_reveal->setCheckable(true);
    m_reveal->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_H));
    addAction(m_reveal);
    connect(m_reveal, &QAction::toggled, this, [this](bool shown) {
        const QLineEdit::EchoMode mode = shown ? QLineEdit::Normal : QLineEdit::Password;
        m_editPassword->setEchoMode(mode);
        m_editRetype->setEchoMode(mode);
    });
    m_buttonReveal = new QToolButton(this);
    m_buttonReveal->setObjectName(QStringLiteral("ButtonRevealPasswords"));
    m_buttonReveal->setDefaultAction(m_reveal);
    m_buttonReveal->setAutoRaise(true);
    m_buttonReveal->setFocusPolicy(Qt::NoFocus);
    const int side = m_editPassword->sizeHint().height();
    m_buttonReveal->setFixedSize(side, side);
    m_labelDiffer = createLabel(QStringLiteral("LabelPasswordsDiffer"), this);

    m_buttonGenerate = new QPushButton(this);
    m_buttonGenerate->setObjectName(QStringLiteral("JvXPButtonGenerate"));
    m_buttonGenerate->setAutoDefault(false);
    connect(m_buttonGenerate, &QPushButton::clicked, this, &TFormPassword::JvXPButtonGenerateClick);
    m_buttonOk = new QPushButton(this);
    m_buttonOk->setObjectName(QStringLiteral("JvXPButtonOk"));
    m_buttonOk->setDefault(true);
    m_buttonCancel = new QPushButton(this);
    m_buttonCancel->setObjectName(QStringLiteral("JvXPButtonCancel"));
    connect(m_buttonOk, &QPushButton::clicked, this, &TFormPassword::JvXPButtonOkClick);
    connect(m_buttonCancel, &QPushButton::clicked, this, &QDialog::reject);
    m_buttonExit = new QPushButton(this);
    m_buttonExit->setObjectName(QStringLiteral("JvXPButtonExit"));
    m_buttonExit->setAutoDefault(false);
    connect(m_buttonExit, &QPushButton::clicked, this, [this] { done(ExitChosen); });

    setTabOrder(m_editPassword, m_editRetype);
    setTabOrder(m_editRetype, m_buttonGenerate);
    setTabOrder(m_buttonGenerate, m_buttonCancel);
    setTabOrder(m_buttonCancel, m_buttonExit);
    setTabOrder(m_buttonExit, m_buttonOk);
}

void TFormPassword::layOutControls()
{
    auto* boxes = new QGridLayout;
    boxes->addWidget(m_labelFileName, 0, 0, 1, 3);
    boxes->addWidget(m_labelFileType, 1, 0, 1, 3);
    boxes->addWidget(m_labelPassword, 2, 0);
    boxes->addWidget(m_editPassword, 2, 1);
    boxes->addWidget(m_labelRetype, 3, 0);
    boxes->addWidget(m_editRetype, 3, 1);
    boxes->addWidget(m_buttonReveal, 2, 2);
    boxes->addWidget(m_capsLockWarning, 4, 0, 1, 3);
    boxes->addWidget(m_labelDiffer, 5, 0, 1, 3);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_buttonGenerate);
    buttons->addStretch();
    buttons->addWidget(m_buttonOk);
    buttons->addWidget(m_buttonCancel);
    buttons->addWidget(m_buttonExit);

    auto* window = new QVBoxLayout(this);
    window->addLayout(boxes);
    window->addLayout(buttons);
    // Fixed border; the window shrinks when the retype row is hidden.
    window->setSizeConstraint(QLayout::SetFixedSize);
}

void TFormPassword::ApplyPasswordCaptions()
{
    setWindowTitle(QStringLiteral("Zantrove 1.1"));
    // Alt with the marked letter puts the cursor into the label's box.
    MnemonicGroup mnemonics;
    m_labelPassword->setText(
        mnemonics.mark(m_captions.GetCaption(QStringLiteral("PasswordLabelPassword"), QStringLiteral("Password")))
        + QLatin1Char(':'));
    m_labelRetype->setText(
        mnemonics.mark(m_captions.GetCaption(QStringLiteral("PasswordLabelRetype"), QStringLiteral("Retype")))
        + QLatin1Char(':'));
    m_buttonGenerate->setText(
        mnemonics.mark(m_captions.GetCaption(QStringLiteral("PasswordButtonGenerate"), QStringLiteral("Generate…"))));
    m_buttonOk->setText(m_captions.GetCaption(QStringLiteral("ButtonOk"), QStringLiteral("Ok")));
    m_buttonCancel->setText(m_captions.GetCaption(QStringLiteral("ButtonCancel"), QStringLiteral("Cancel")));
    m_buttonExit->setText(m_captions.GetCaption(QStringLiteral("PasswordButtonExit"), QStringLiteral("Exit")));
    m_capsLockWarning->setText(
        m_captions.GetCaption(QStringLiteral("PasswordCapsLockOn"), QStringLiteral("Caps Lock is on")));
    const QString reveal =
        m_captions.GetCaption(QStringLiteral("PasswordButtonReveal"), QStringLiteral("Show or hide the passwords"));
    m_reveal->setText(reveal);
    m_reveal->setToolTip(reveal);
    m_labelDiffer->setText(
        m_captions.GetCaption(QStringLiteral("PasswordLabelDiffer"), QStringLiteral("The two passwords differ")));
}

void TFormPassword::setRevealIcon(const QIcon& icon)
{
    m_reveal->setIcon(icon);
}

void TFormPassword::SetPasswordMode(bool retype)
{
    m_retype = retype;
    m_labelRetype->setVisible(retype);
    m_editRetype->setVisible(retype);
    m_reveal->setEnabled(retype);
    m_buttonReveal->setVisible(retype);
    // Keeps its room while the boxes are typed in, so the window does not jump.
    QSizePolicy policy = m_labelDiffer->sizePolicy();
    policy.setRetainSizeWhenHidden(retype);
    m_labelDiffer->setSizePolicy(policy);
    m_labelDiffer->setVisible(false);
    m_buttonGenerate->setVisible(retype && m_generatedPasswordSource);
}

void TFormPassword::setFileNameLine(const QString& text)
{
    m_labelFileName->setText(text);
}

void TFormPassword::setFile(const QString& path, DataFile::Format format)
{
    m_format = format;
    // Each language puts the name where its words want it; a language file
    // without the place names the file after its word.
    const QString line = m_captions.GetCaption(QStringLiteral("PasswordFileText"), QStringLiteral("%1 File"));
    const QString name = QFileInfo(path).fileName();
    setFileNameLine(line.contains(QLatin1String("%1")) ? line.arg(name) : line + QLatin1Char(' ') + name);
    m_labelFileType->setText(FileTypes::description(format, m_captions));
    // A box counts UTF-16 units: room for 1,024 characters outside the basic
    // plane, and Ok refuses more than 1,024 characters of any kind.
    const int maxLength =
        format == DataFile::Format::Protected ? 2 * ProtectedContainer::MaxPasswordLength : DataFile::MaxPasswordLength;
    m_editPassword->setMaxLength(maxLength);
    m_editRetype->setMaxLength(maxLength);
}

QString TFormPassword::password() const
{
    return m_accepted;
}

QString TFormPassword::takePassword()
{
    return std::exchange(m_accepted, QString());
}

QString TFormPassword::typedPassword() const
{
    return m_editPassword->text();
}

void TFormPassword::setLockGuard(std::function<bool()> isLocked, std::function<bool(const QString&)> checkFilePassword)
{
    m_isLocked = std::move(isLocked);
    m_checkFilePassword = std::move(checkFilePassword);
}

void TFormPassword::setGeneratedPasswordSource(PasswordSource source)
{
    m_generatedPasswordSource = std::move(source);
    SetPasswordMode(m_retype);
}

void TFormPassword::prepareForUse()
{
    startPrompt();
    m_buttonCancel->setVisible(!locked());
    m_buttonExit->setVisible(locked());
    m_labelFileName->setToolTip(PlainToolTip::markup(m_labelFileName->text()));
    m_editPassword->setFocus(Qt::OtherFocusReason);
    // Centred on the desktop: the main window may be hidden while it asks.
    WindowPlacement::centreOnScreen(*this);
}

// No password is ever shown twice: each showing starts from empty boxes.
void TFormPassword::startPrompt()
{
    m_buttonOk->setEnabled(false);
    m_labelDiffer->setVisible(false);
    m_reveal->setChecked(false);
    SecureWipe::wipe(m_accepted);
    wipeBoxes();
}

void TFormPassword::wipeBoxes()
{
    TextBoxWipe::wipe(*m_editPassword);
    TextBoxWipe::wipe(*m_editRetype);
}

// Whatever way the window closes, what was typed leaves the boxes; Ok keeps a
// copy of its own for the caller. The lock has checked the password already
// and reads none, so none is kept. A reflex Escape at the lock must not end
// the program: it stays locked, the prompt up.
void TFormPassword::done(int result)
{
    if (result == QDialog::Rejected && locked())
        return;
    if (result == QDialog::Accepted && !locked())
        m_accepted = SecureWipe::deepCopy(typedPassword());
    wipeBoxes();
    TrackedDialog::done(result);
}

// Ok follows key releases only, so text put in with the mouse counts from the
// next key release on. In enter mode the hidden retype box plays no part.
bool TFormPassword::eventFilter(QObject* watched, QEvent* event)
{
    const bool watchedBox = watched == m_editPassword || (m_retype && watched == m_editRetype);
    if (event->type() == QEvent::KeyRelease && watchedBox)
        followInput();
    return TrackedDialog::eventFilter(watched, event);
}

// The boxes differ only once something is retyped: not while the first is typed.
void TFormPassword::followInput()
{
    m_buttonOk->setEnabled(inputAcceptable());
    m_labelDiffer->setVisible(m_retype && !m_editRetype->text().isEmpty() && m_editRetype->text() != typedPassword());
}

bool TFormPassword::inputAcceptable() const
{
    const QString typed = typedPassword();
    if (typed.isEmpty())
        return false;
    return !m_retype || typed == m_editRetype->text();
}

bool TFormPassword::locked() const
{
    return m_isLocked && m_isLocked();
}

void TFormPassword::JvXPButtonOkClick()
{
    // A mouse cut or paste since the last key release may have emptied a box
    // or broken the match; such input is never confirmed.
    if (!inputAcceptable()) {
        followInput();
        return;
    }
    // The key of a .zv file holds one byte per character in the code page of
    // older files; anything else would be stored as a different password.
    if (m_retype && !DataFile::passwordFits(typedPassword(), m_format)) {
        m_messages.show(MessageService::Kind::Error, unfitPasswordMessage());
        return;
    }
    if (locked() && !(m_checkFilePassword && m_checkFilePassword(typedPassword()))) {
        m_messages.show(MessageService::Kind::Error, m_captions.GetCaption(QStringLiteral("MessageIncorrectPassword"),
                                                                           QStringLiteral("Incorrect password")));
        // The typed text stays, selected, so retyping replaces it instead of
        // appending to the wrong password.
        m_editPassword->selectAll();
        m_editPassword->setFocus();
        return;
    }
    accept();
}

QString TFormPassword::unfitPasswordMessage() const
{
    if (m_format == DataFile::Format::Protected)
        return m_captions
            .GetCaption(QStringLiteral("MessagePasswordTooLong"),
                        QStringLiteral("The password can have at most %1 characters"))
            .arg(QLocale().toString(ProtectedContainer::MaxPasswordLength));
    return m_captions.GetCaption(QStringLiteral("MessagePasswordCharacters"),
                                 QStringLiteral("The password can only contain letters, digits and "
                                                "signs of the code page of older files"))
           + QStringLiteral(" (%1)").arg(TextEncoding::olderFilesCodePage().name());
}

void TFormPassword::JvXPButtonGenerateClick()
{
    std::optional<QString> generated = m_generatedPasswordSource(
        this, m_format == DataFile::Format::Protected ? PasswordGenerator::Purpose::ProtectedFilePassword
                                                      : PasswordGenerator::Purpose::DataFilePassword);
    if (!generated)
        return;
    wipeBoxes();
    m_editPassword->setText(*generated);
    m_editRetype->setText(*generated);
    SecureWipe::wipe(*generated);
    followInput();
    m_buttonOk->setFocus(Qt::OtherFocusReason);
}
