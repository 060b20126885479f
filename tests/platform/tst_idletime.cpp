#include "platform/ui/DesktopIdleTimeSource.h"

#include <QApplication>
#include <QLineEdit>
#include <QtTest>

namespace {

enum class Happening { KeyClick, MouseClick, Repaint };

void happen(Happening happening, QWidget* widget)
{
    switch (happening) {
    case Happening::KeyClick: QTest::keyClick(widget, Qt::Key_A); break;
    case Happening::MouseClick: QTest::mouseClick(widget, Qt::LeftButton); break;
    case Happening::Repaint: widget->repaint(); break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Happening)

class TestIdleTime : public QObject {
    Q_OBJECT

private slots:
    void idleSinceCountsAcrossWrapAround_data();
    void idleSinceCountsAcrossWrapAround();

    void onlyUserInputResetsIdleTime_data();
    void onlyUserInputResetsIdleTime();
    void steadyClockCountsTheTimeWithoutInput();
};

void TestIdleTime::idleSinceCountsAcrossWrapAround_data()
{
    QTest::addColumn<quint32>("now");
    QTest::addColumn<quint32>("last");
    QTest::addColumn<quint32>("idle");
    QTest::newRow("no time passed") << 1000u << 1000u << 0u;
    QTest::newRow("plain difference") << 61000u << 1000u << 60000u;
    // Past the wrap the count goes on from the top of the counter.
    QTest::newRow("wrapped") << 5u << 0xFFFFFFFAu << 10u;
    QTest::newRow("wrapped a minute") << 59000u << 0xFFFFFC17u << 60000u;
}

void TestIdleTime::idleSinceCountsAcrossWrapAround()
{
    QFETCH(quint32, now);
    QFETCH(quint32, last);
    QFETCH(quint32, idle);
    QCOMPARE(idleSince(now, last), idle);
}

void TestIdleTime::onlyUserInputResetsIdleTime_data()
{
    QTest::addColumn<Happening>("happening");
    QTest::addColumn<bool>("resets");
    QTest::newRow("key") << Happening::KeyClick << true;
    QTest::newRow("mouse") << Happening::MouseClick << true;
    QTest::newRow("repaint") << Happening::Repaint << false;
}

void TestIdleTime::onlyUserInputResetsIdleTime()
{
    QFETCH(Happening, happening);
    QFETCH(bool, resets);
    QLineEdit widget;
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    quint32 now = 1000;
    DesktopIdleTimeSource source([&now] { return now; });
    // Offscreen there is no desktop-wide count, only the program's own input.
    QVERIFY(!source.seesWholeDesktop());
    now += 300;
    QCOMPARE(source.IdleMilliseconds(), 300u);

    happen(happening, &widget);

    QCOMPARE(source.IdleMilliseconds(), resets ? 0u : 300u);
}

void TestIdleTime::steadyClockCountsTheTimeWithoutInput()
{
    DesktopIdleTimeSource source;
    const quint32 first = source.IdleMilliseconds();
    QTRY_VERIFY(source.IdleMilliseconds() > first);
}

QTEST_MAIN(TestIdleTime)
#include "tst_idletime.moc"
