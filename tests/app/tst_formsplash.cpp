#include "app/ui/FormSplash.h"

#include <QDialog>
#include <QtTest>

// The splash stays on top of everything, so it must give way to any dialog
// that asks the user something while the program starts.
class TestSplash : public QObject {
    Q_OBJECT

private slots:
    void givesWayToDialogsOnly_data()
    {
        QTest::addColumn<bool>("dialog");
        QTest::newRow("a dialog") << true;
        QTest::newRow("the main window") << false;
    }

    void givesWayToDialogsOnly()
    {
        QFETCH(bool, dialog);
        TFormSplash splash{QPixmap()};
        splash.showNow();
        QDialog prompt;
        QWidget mainWindow;
        (dialog ? static_cast<QWidget&>(prompt) : mainWindow).show();
        QCOMPARE(splash.isVisible(), !dialog);
    }
};

QTEST_MAIN(TestSplash)
#include "tst_formsplash.moc"
