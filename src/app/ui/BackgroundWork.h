#pragma once

#include "platform/LongWork.h"

#include <QEventLoop>

class QProgressDialog;
class QThread;
class QWidget;

// Long work on a thread of its own, so that the program's windows go on
// painting. Their input waits until the work is done; the pointer shows the
// program busy at once and, after half a second, a small window says what is
// being done. Work that may be cancelled shows that window at once, with
// its button.
//
// Timers and posted events are still delivered meanwhile: whatever they do
// must not change what the work reads or writes. running() lets them wait.
class BackgroundWork final : public LongWork {
public:
    // parent: the window the progress window belongs to (may be null).
    explicit BackgroundWork(QWidget* parent);

    // Whether some work is running now.
    static bool running();

    // How long the work may take before the progress window shows.
    static constexpr int ProgressDelayMs = 500;

private:
    void perform(const QString& description, const std::function<void()>& work) override;
    bool performCancellable(const QString& description, const QString& cancel, std::function<void()> work) override;
    // Runs thread while the loop handles events; false when progress was
    // cancelled before the thread finished.
    static bool runThread(QThread* thread, QProgressDialog& progress, QEventLoop::ProcessEventsFlags events);

    QWidget* m_parent;
};
