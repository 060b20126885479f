#include "app/ui/BackgroundWork.h"

#include <QApplication>
#include <QProgressDialog>
#include <QPushButton>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <memory>

class TestBackgroundWork : public QObject {
    Q_OBJECT
private slots:
    void workRunsOnItsOwnThreadWhileEventsGoOn();
    void quickWorkShowsNoProgressWindow();
    void cancelStopsTheWaitWhileTheWorkEndsUnseen_data();
    void cancelStopsTheWaitWhileTheWorkEndsUnseen();
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
    QObject::connect(&poll, &QTimer::timeout,
                     [&] { progressSeen |= progressWindow() && progressWindow()->isVisible(); });
    poll.start(1);
    QCOMPARE(BackgroundWork(nullptr).run(QStringLiteral("Opening…"), [] { return 42; }), 42);
    QVERIFY(!progressSeen);
}

void TestBackgroundWork::cancelStopsTheWaitWhileTheWorkEndsUnseen_data()
{
    QTest::addColumn<bool>("cancelled");
    QTest::newRow("cancelled") << true;
    QTest::newRow("waited for") << false;
}

// The work holds on until released; the button is clicked, or the work let
// go, while the progress window shows it.
void TestBackgroundWork::cancelStopsTheWaitWhileTheWorkEndsUnseen()
{
    QFETCH(bool, cancelled);
    QWidget window;
    auto released = std::make_shared<std::atomic<bool>>(false);
    auto ended = std::make_shared<std::atomic<bool>>(false);
    bool buttonShown = false;
    QTimer::singleShot(100, [&] {
        QProgressDialog* progress = progressWindow();
        QPushButton* button = progress ? progress->findChild<QPushButton*>() : nullptr;
        buttonShown = button && progress->isVisible() && button->text() == "Abbrechen";
        if (buttonShown && cancelled)
            QTest::mouseClick(button, Qt::LeftButton);
        else
            *released = true;
    });

    const std::optional<int> result =
        BackgroundWork(&window).runCancellable(QStringLiteral("Opening…"), QStringLiteral("Abbrechen"), [=] {
            while (!*released)
                QThread::msleep(5);
            *ended = true;
            return 42;
        });

    QVERIFY(buttonShown);
    QCOMPARE(result, cancelled ? std::optional<int>() : std::optional(42));
    QCOMPARE(ended->load(), !cancelled);
    QVERIFY(!BackgroundWork::running());
    *released = true;
    QTRY_VERIFY(*ended);
}

QTEST_MAIN(TestBackgroundWork)
#include "tst_backgroundwork.moc"
