#pragma once

#include "app/ui/FormMain.h"
#include "app/ui/Program.h"
#include "platform/SessionEvents.h"

#include "support/ManualCapsLockState.h"
#include "support/ManualIdleTimeSource.h"
#include "support/RecordingDesktopLauncher.h"
#include "support/RecordingTrayShell.h"
#include "support/ScriptedMessageService.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>
#include <memory>

class TFormPassword;

// Answers password prompts as a user would, each from the next entry of a
// list: typed into the password box (and the retype box for a new password),
// then Ok. An empty entry cancels that prompt.
class PromptAnswerer : public QObject {
public:
    PromptAnswerer(TFormPassword& window, QStringList passwords);
    int answered = 0;

private:
    void answerIfShown();

    TFormPassword& m_window;
    QStringList m_passwords;
    QTimer m_timer;
    bool m_answering = false;
};

// Runs an action once, as soon as a window shows: for modal windows, whose
// exec() would otherwise wait for a user.
class WhenShown : public QObject {
public:
    WhenShown(QWidget& window, std::function<void()> action);

private:
    QWidget& m_window;
    std::function<void()> m_action;
    QTimer m_timer;
};

// The first node of model, in tree order, with this caption; invalid when none has it.
QModelIndex nodeCaptioned(const DocumentTreeModel& model, const QString& caption);

// Fills a creation window as a user would: name into its name box, type
// (when given) chosen from its list of types, then Ok.
void fillAndConfirm(QWidget& window, const QString& name, const QString& type = {});

// A program in a temporary program folder with every platform service doubled.
class ProgramFixture {
public:
    ProgramFixture();
    ~ProgramFixture();

    QString path(const QString& name) const { return m_folder.filePath(name); }
    void writeSettings(const QByteArray& lines) const;
    // A data file holding xml under password.
    void writeDataFile(const QString& file, const QString& password, const QByteArray& xml) const;

    // Starts the program; passwords answer the prompts that show meanwhile.
    // The program folder holds the shipped catalogue.
    void start(const QString& commandLineFile = {}, const QStringList& passwords = {});
    // Answers the prompts that show while the rest of a test runs.
    void answerPrompts(const QStringList& passwords);

    int promptsAnswered() const { return m_answerer ? m_answerer->answered : 0; }

    TFormMain& main() const { return m_program->mainWindow(); }
    Program& program() const { return *m_program; }
    ScriptedMessageService messages;
    RecordingDesktopLauncher launcher;
    RecordingTrayShell tray;
    ManualIdleTimeSource idle;
    // The desktop's lock and sleep signals; tests emit them.
    SessionEvents sessionEvents;
    ManualCapsLockState capsLock;

private:
    QTemporaryDir m_folder;
    std::unique_ptr<Program> m_program;
    std::unique_ptr<PromptAnswerer> m_answerer;
};

// The base of the tests that drive a whole program: each test function gets a
// program of its own, gone after it.
class ProgramTestCase : public QObject {
    Q_OBJECT

protected:
    TFormMain& main() const { return m_fixture->main(); }
    ScriptedMessageService& messages() const { return m_fixture->messages; }
    QString path(const QString& name) const { return m_fixture->path(name); }

    std::unique_ptr<ProgramFixture> m_fixture;

protected slots:
    void init() { m_fixture = std::make_unique<ProgramFixture>(); }
    void cleanup() { m_fixture.reset(); }
};
