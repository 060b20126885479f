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

void BackgroundWork::perform(const QString& description, const std::function<void()>& work)
{
    ++runningWork;
    QApplication::setOverrideCursor(Qt::BusyCursor);
    const auto restore = qScopeGuard([] {
        QApplication::restoreOverrideCursor();
        --runningWork;
    });

    std::unique_ptr<QThread> thread(QThread::create(work));
    QEventLoop loop;
    QObject::connect(thread.get(), &QThread::finished, &loop, &QEventLoop::quit);

    QProgressDialog progress(description, QString(), 0, 0, m_parent);
    progress.setObjectName(QStringLiteral("BackgroundWorkProgress"));
    progress.setWindowModality(Qt::WindowModal);
    // Shown by our own timer only: a short piece of work shows no window.
    progress.reset();
    QTimer showProgress;
    showProgress.setSingleShot(true);
    QObject::connect(&showProgress, &QTimer::timeout, &progress, &QProgressDialog::show);
    showProgress.start(ProgressDelayMs);

    thread->start();
    // The user's clicks and keys wait for the end of the work: none of them
    // may change the document it is reading or writing.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
}
