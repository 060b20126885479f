#include "app/ui/BackgroundWork.h"

#include <QApplication>
#include <QProgressDialog>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>

class TestBackgroundWork : public QObject {
    Q_OBJECT
private slots:
    void workRunsOnItsOwnThreadWhileEventsGoOn();
    void quickWorkShowsNoProgressWindow();
};

namespace {

QProgressDialog* progressWindow()
{
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("BackgroundWorkProgress"))
            return qobject_cast<QProgressDialog*>(window);
    }
    return nullptr;
}

} // namespace

// The work waits for a timer of the GUI thread, which can only fire while the
// program goes on handling events; by then the progress window is up.
void TestBackgroundWork::workRunsOnItsOwnThreadWhileEventsGoOn()
{
    QWidget window;
    std::atomic<bool> released = false;
    bool progressShown = false;
    bool busyMeanwhile = false;
    QTimer::singleShot(BackgroundWork::ProgressDelayMs + 300, [&] {
        const QProgressDialog* progress = progressWindow();
        progressShown = progress && progress->isVisible() && progress->labelText() == "Saving…";
        busyMeanwhile = BackgroundWork::running() && QApplication::overrideCursor()
                        && QApplication::overrideCursor()->shape() == Qt::BusyCursor;
        released = true;
    });

    const QThread* worker = BackgroundWork(&window).run(QStringLiteral("Saving…"), [&] {
        while (!released)
            QThread::msleep(5);
        return QThread::currentThread();
    });

    QVERIFY(worker != QThread::currentThread());
    QVERIFY(progressShown);
    QVERIFY(busyMeanwhile);
    QVERIFY(!BackgroundWork::running());
    QVERIFY(!QApplication::overrideCursor());
    QVERIFY(!progressWindow() || !progressWindow()->isVisible());
}

void TestBackgroundWork::quickWorkShowsNoProgressWindow()
{
    bool progressSeen = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { progressSeen |= progressWindow() && progressWindow()->isVisible(); });
    poll.start(1);
    QCOMPARE(BackgroundWork(nullptr).run(QStringLiteral("Opening…"), [] { return 42; }), 42);
    QVERIFY(!progressSeen);
}

QTEST_MAIN(TestBackgroundWork)
#include "tst_backgroundwork.moc"
