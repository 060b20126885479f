#include "app/ui/BackgroundWork.h"

#include <QApplication>
#include <QEventLoop>
#include <QProgressDialog>
#include <QScopeGuard>
#include <QThread>
#include <QTimer>

#include <memory>

namespace {

int runningWork = 0;

} // namespace

BackgroundWork::BackgroundWork(QWidget* parent)
    : m_parent(parent)
{
}

bool BackgroundWork::running()
{
    return runningWork > 0;
}

bool BackgroundWork::runThread(QThread* thread, QProgressDialog& progress, QEventLoop::ProcessEventsFlags events)
{
    ++runningWork;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const auto restore = qScopeGuard([] {
        QApplication::restoreOverrideCursor();
        --runningWork;
    });
    QEventLoop loop;
    bool finished = false;
    QObject::connect(thread, &QThread::finished, &loop, [&] {
        finished = true;
        loop.quit();
    });
    QObject::connect(&progress, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    progress.setObjectName(QStringLiteral("BackgroundWorkProgress"));
    thread->start();
    loop.exec(events);
    return finished;
}

void BackgroundWork::perform(const QString& description, const std::function<void()>& work)
{
    std::unique_ptr<QThread> thread(QThread::create(work));
    QProgressDialog progress(description, QString(), 0, 0, m_parent);
    progress.setWindowModality(Qt::WindowModal);
    // Shown by our own timer only: a short piece of work shows no window.
    progress.reset();
    QTimer showProgress;
    showProgress.setSingleShot(true);
    QObject::connect(&showProgress, &QTimer::timeout, &progress, &QProgressDialog::show);
    showProgress.start(ProgressDelayMs);
    // The user's clicks and keys wait for the end of the work: none of them
    // may change the document it is reading or writing.
    runThread(thread.get(), progress, QEventLoop::ExcludeUserInputEvents);
    thread->wait();
}

bool BackgroundWork::performCancellable(const QString& description, const QString& cancel, std::function<void()> work)
{
    // Goes once the work ends, also when nobody waits for it any more.
    QThread* thread = QThread::create(std::move(work));
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    QProgressDialog progress(description, cancel, 0, 0, m_parent);
    // Known to be long, so shown at once; the user's input reaches this
    // window alone, for its button.
    progress.setWindowModality(Qt::ApplicationModal);
    progress.show();
    return runThread(thread, progress, QEventLoop::AllEvents);
}
