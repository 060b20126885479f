#include "platform/ProcessProtection.h"

#include <QtTest>

#include <sys/prctl.h>

// Its own executable: harden() changes the whole process for good.
class TestProcessProtection : public QObject {
    Q_OBJECT

private slots:
    void hardenedProcessIsNotDumpable()
    {
        QVERIFY(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0) != 0);
        QVERIFY(ProcessProtection::harden());
        QCOMPARE(prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
    }
};

QTEST_GUILESS_MAIN(TestProcessProtection)
#include "tst_processprotection.moc"
