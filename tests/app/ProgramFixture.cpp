#include "ProgramFixture.h"

#include "datafile/DataFile.h"
#include "datafile/ui/FormPassword.h"
#include "document/ui/DocumentTreeModel.h"

#include "support/TestSupport.h"

#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

// One key press and release per character, so that characters outside ASCII arrive too.
void typeText(QWidget* box, const QString& text)
{
    for (const QChar character : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key_unknown, QString(character), Qt::NoModifier);
}

} // namespace

PromptAnswerer::PromptAnswerer(TFormPassword& window, QStringList passwords)
    : m_window(window)
    , m_passwords(std::move(passwords))
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, &PromptAnswerer::answerIfShown);
    m_timer.start();
}

void PromptAnswerer::answerIfShown()
{
    if (!m_window.isVisible() || m_passwords.isEmpty() || m_answering)
        return;
    m_answering = true;
    ++answered;
    const QString password = m_passwords.takeFirst();
    auto* edit = m_window.findChild<QLineEdit*>(QStringLiteral("EditPassword"));
    if (password.isEmpty()) {
        QTest::keyClick(edit, Qt::Key_Escape);
    } else {
        // After a refused password the typed text stays; a user types it anew.
        edit->clear();
        typeText(edit, password);
        auto* retype = m_window.findChild<QLineEdit*>(QStringLiteral("EditRetype"));
        if (retype && retype->isVisible())
            typeText(retype, password);
        QTest::mouseClick(m_window.findChild<QPushButton*>(QStringLiteral("JvXPButtonOk")), Qt::LeftButton);
    }
    m_answering = false;
}

WhenShown::WhenShown(QWidget& window, std::function<void()> action)
    : m_window(window)
    , m_action(std::move(action))
{
    m_timer.setInterval(5);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (!m_window.isVisible())
            return;
        m_timer.stop();
        m_action();
    });
    m_timer.start();
}

QModelIndex nodeCaptioned(const DocumentTreeModel& model, const QString& caption)
{
    for (QModelIndex index = model.firstNode(); index.isValid(); index = model.nextNode(index)) {
        if (model.caption(index) == caption)
            return index;
    }
    return {};
}

void fillAndConfirm(QWidget& window, const QString& name, const QString& type)
{
    if (auto* edit = window.findChild<QLineEdit*>(QStringLiteral("EditName")))
        QTest::keyClicks(edit, name);
    if (auto* edit = window.findChild<QLineEdit*>(QStringLiteral("EditField")))
        QTest::keyClicks(edit, name);
    if (!type.isEmpty()) {
        auto* types = window.findChild<QComboBox*>(QStringLiteral("ComboBoxTypes"));
        types->setCurrentIndex(types->findText(type));
    }
    QTest::mouseClick(window.findChild<QPushButton*>(QStringLiteral("JvXPButtonOk")), Qt::LeftButton);
}

ProgramFixture::ProgramFixture()
{
    // The file-type association writes to the user's data folders: keep it here.
    qputenv("XDG_DATA_HOME", QFile::encodeName(path(QStringLiteral("xdg-data"))));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(path(QStringLiteral("xdg-config"))));
    // An installed program has its catalogue beside it.
    QFile::copy(TestSupport::sourceDir() + QStringLiteral("/data/config.xml"), path(QStringLiteral("config.xml")));
    // And its tree icons, which it only reads: linked, since copying them
    // for every test costs a synced write each. The pictures stay missing,
    // as a window must cope with.
    const QString builtIcons = QDir(TestSupport::programDir()).absoluteFilePath(QStringLiteral("icons"));
    if (!QFile::link(builtIcons, path(QStringLiteral("icons"))))
        qFatal("cannot link the built tree icons");
}

ProgramFixture::~ProgramFixture() = default;

void ProgramFixture::writeSettings(const QByteArray& lines) const
{
    TestSupport::writeFile(path("zantrove.ini"), lines);
}

void ProgramFixture::writeDataFile(const QString& file, const QString& password, const QByteArray& xml) const
{
    DataDocument document;
    if (!document.loadText(xml) || DataFile::write(file, password, document) != DataFile::Status::Ok)
        qFatal("cannot write the test data file");
}

void ProgramFixture::start(const QString& commandLineFile, const QStringList& passwords)
{
    m_program = std::make_unique<Program>(ProgramPaths(path("zantrove")),
                                          PlatformServices{messages, launcher, tray, idle, sessionEvents, capsLock});
    if (!m_program->createWindows())
        qFatal("the program could not create its windows");
    answerPrompts(passwords);
    m_program->openStartupFile(commandLineFile);
}

void ProgramFixture::answerPrompts(const QStringList& passwords)
{
    m_answerer = std::make_unique<PromptAnswerer>(m_program->passwordWindow(), passwords);
}
