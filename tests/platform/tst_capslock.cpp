#include "platform/ui/CapsLockState.h"

#include <QKeyEvent>
#include <QtTest>

class TestCapsLock : public QObject {
    Q_OBJECT

private slots:
    void typedTextTellsTheState_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("shift");
        QTest::addColumn<int>("told"); // -1: nothing told
        QTest::newRow("upper case alone") << "Q" << false << 1;
        QTest::newRow("lower case alone") << "q" << false << 0;
        QTest::newRow("upper case with Shift") << "Q" << true << 0;
        QTest::newRow("lower case with Shift") << "q" << true << 1;
        QTest::newRow("German upper case alone") << "\u00c4" << false << 1;
        QTest::newRow("Russian lower case with Shift") << "\u044f" << true << 1;
        QTest::newRow("digit") << "7" << false << -1;
        QTest::newRow("sign with Shift") << "%" << true << -1;
        QTest::newRow("no text") << "" << false << -1;
        QTest::newRow("more than one character") << "Ab" << false << -1;
    }

    void typedTextTellsTheState()
    {
        QFETCH(QString, text);
        QFETCH(bool, shift);
        QFETCH(int, told);
        const std::optional<bool> state = capsLockFromTypedText(text, shift);
        QCOMPARE(state ? int(*state) : -1, told);
    }

    // Without an X display (as here, offscreen) the keys typed are all there is.
    void withoutXTheKeysTypedDecide()
    {
        struct Key {
            int key;
            QString text;
            Qt::KeyboardModifiers modifiers;
            bool onAfter;
        };
        const Key keys[] = {
            {Qt::Key_A, "a", Qt::NoModifier, false},      {Qt::Key_A, "A", Qt::NoModifier, true},
            {Qt::Key_1, "1", Qt::NoModifier, true},       {Qt::Key_CapsLock, "", Qt::NoModifier, false},
            {Qt::Key_CapsLock, "", Qt::NoModifier, true}, {Qt::Key_B, "b", Qt::ShiftModifier, true},
            {Qt::Key_B, "B", Qt::ShiftModifier, false},
        };
        DesktopCapsLockState capsLock;
        QVERIFY(!capsLock.isOn());
        for (const Key& key : keys) {
            capsLock.noteKeyPress(QKeyEvent(QEvent::KeyPress, key.key, key.modifiers, key.text));
            QCOMPARE(capsLock.isOn(), key.onAfter);
        }
    }
};

QTEST_MAIN(TestCapsLock)
#include "tst_capslock.moc"
