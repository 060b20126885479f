#include "datafile/DataFileLock.h"
#include "support/TestSupport.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using TestSupport::readFile;
using TestSupport::writeFile;

// The lock file's lines: pid, program, host, machine id, boot id.
class TestDataFileLock : public QObject {
    Q_OBJECT

    QTemporaryDir m_dir;

    QString path(const QString& name) const { return m_dir.filePath(name); }

    // A process that has ended: its number is free.
    static qint64 endedProcess()
    {
        QProcess process;
        process.start(QStringLiteral("true"), {});
        const qint64 pid = process.processId();
        process.waitForFinished();
        return pid;
    }

private slots:
    void lockStandsBesideTheFileWhileHeld()
    {
        const QString file = path("private.zv");
        DataFileLock lock;
        QCOMPARE(lock.acquire(file), DataFileLock::Result::Held);
        QVERIFY(QFile::exists(path(".private.zv.lock")));
        QVERIFY(lock.holds(file));
        lock.release();
        QVERIFY(!QFile::exists(path(".private.zv.lock")));
    }

    void noLockInAnInstalledProgramFolder()
    {
        QVERIFY(QDir().mkpath(path("program")));
        writeFile(path("program/sample.zv"), "QM20060718");
        writeFile(path("program/installed"), {});
        DataFileLock lock;
        QCOMPARE(lock.acquire(path("program/sample.zv")), DataFileLock::Result::NotPossible);
        QVERIFY(!QFile::exists(path("program/.sample.zv.lock")));
    }

    // A link to the file and the file itself share one lock.
    void aLinkSharesTheFilesLock()
    {
        writeFile(path("real.zv"), "QM20060718");
        QVERIFY(QFile::link(path("real.zv"), path("link.zv")));
        DataFileLock first;
        DataFileLock second;
        QCOMPARE(first.acquire(path("link.zv")), DataFileLock::Result::Held);
        QCOMPARE(second.acquire(path("real.zv")), DataFileLock::Result::HeldElsewhere);
        QCOMPARE(second.holder().pid, QCoreApplication::applicationPid());
    }

    void onlyALockWhoseHolderIsGoneIsTakenOver_data()
    {
        QTest::addColumn<bool>("holderRuns");
        QTest::addColumn<bool>("sameBoot");
        QTest::addColumn<bool>("takenOver");
        QTest::newRow("holder runs, for hours") << true << true << false;
        QTest::newRow("holder ended") << false << true << true;
        QTest::newRow("from before a restart") << true << false << true;
    }

    void onlyALockWhoseHolderIsGoneIsTakenOver()
    {
        QFETCH(bool, holderRuns);
        QFETCH(bool, sameBoot);
        QFETCH(bool, takenOver);
        const QString file = path("held.zv");
        // A real lock of this process gives the lines a holder on this machine writes.
        QList<QByteArray> lines;
        {
            DataFileLock own;
            QCOMPARE(own.acquire(file), DataFileLock::Result::Held);
            lines = readFile(DataFileLock::lockFileName(file)).split('\n');
        }
        QVERIFY(lines.size() >= 5);
        if (!holderRuns)
            lines[0] = QByteArray::number(endedProcess());
        if (!sameBoot)
            lines[4] = "another-boot";
        writeFile(DataFileLock::lockFileName(file), lines.join('\n'));
        QFile lockFile(DataFileLock::lockFileName(file));
        QVERIFY(lockFile.open(QIODevice::ReadWrite));
        QVERIFY(
            lockFile.setFileTime(QDateTime::currentDateTime().addSecs(-4 * 3600), QFileDevice::FileModificationTime));
        lockFile.close();

        DataFileLock lock;
        QCOMPARE(lock.acquire(file) == DataFileLock::Result::Held, takenOver);
        if (!takenOver)
            QCOMPARE(lock.holder().pid, QCoreApplication::applicationPid());
        QFile::remove(DataFileLock::lockFileName(file));
    }

    // Nothing at the lock's name may make acquiring wait, read without end
    // or refuse for good; what is there is left as it was.
    void anythingButALockFileIsLeftAloneAndLocksNothing_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("at"); // the suffix of the name it takes
        for (const char* kind : {"pipe", "link to /dev/zero", "dangling link", "folder", "large file", "no holder"})
            QTest::newRow(kind) << QString(kind) << ".lock";
        QTest::newRow("pipe where a stale lock's remover goes") << "pipe"
                                                                << ".lock.rmlock";
    }

    void anythingButALockFileIsLeftAloneAndLocksNothing()
    {
        QFETCH(QString, kind);
        QFETCH(QString, at);
        static int row = 0;
        const QString file = path(QStringLiteral("odd%1.zv").arg(++row));
        const QString name = path(QStringLiteral(".odd%1.zv").arg(row)) + at;
        const QByteArray encoded = QFile::encodeName(name);
        if (kind == "pipe")
            QCOMPARE(::mkfifo(encoded.constData(), 0600), 0);
        else if (kind == "link to /dev/zero")
            QVERIFY(QFile::link("/dev/zero", name));
        else if (kind == "dangling link")
            QVERIFY(QFile::link(path("nowhere"), name));
        else if (kind == "folder")
            QVERIFY(QDir().mkdir(name));
        else
            writeFile(name, kind == "large file" ? QByteArray(64 * 1024, '1') : QByteArray("\n\n\n"));
        QFileInfo before(name);

        DataFileLock lock;
        QCOMPARE(lock.acquire(file), DataFileLock::Result::NotALockFile);
        QVERIFY(!lock.holds(file));
        QFileInfo after(name);
        QVERIFY(after.isSymLink() || after.exists());
        QCOMPARE(after.isSymLink(), before.isSymLink());
        QCOMPARE(after.isDir(), before.isDir());
        QCOMPARE(after.size(), before.size());
    }
};

QTEST_GUILESS_MAIN(TestDataFileLock)
#include "tst_datafilelock.moc"
