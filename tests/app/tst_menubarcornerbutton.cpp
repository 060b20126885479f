#include "app/ui/MenuBarCornerButton.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <QtTest>

class TestMenuBarCornerButton : public QObject {
    Q_OBJECT

private slots:
    void longerCaptionIsLaidOutAgain()
    {
        QMainWindow window;
        window.resize(600, 300);
        window.menuBar()->addMenu(QStringLiteral("File"));
        QAction action(QStringLiteral("Get!"));
        auto* button = new MenuBarCornerButton(QStringLiteral("Corner"), &action, window.menuBar());
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        action.setText(QStringLiteral("Holen Sie sich die mobile Version!"));
        QCoreApplication::processEvents();
        QCOMPARE(button->text(), action.text());
        QCOMPARE(button->size(), button->sizeHint());
        QVERIFY(button->geometry().right() < window.menuBar()->width());
    }
};

QTEST_MAIN(TestMenuBarCornerButton)
#include "tst_menubarcornerbutton.moc"
