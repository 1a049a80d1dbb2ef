// Backups of the exchange's memory on disk: their names, no backup written
// over another, and a clear reason when they cannot be written. (Both files
// read back whole after an upload: tst_cli.)
#include "ExchangeBackup.h"
#include "ExchangeMap.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

class TestBackup : public QObject
{
    Q_OBJECT
  private slots:
    void baseNames_data();
    void baseNames();
    void secondBackupInTheSameSecondKeepsTheFirst();
    void failuresSayWhy_data();
    void failuresSayWhy();
};

void TestBackup::baseNames_data()
{
    QTest::addColumn<QString>("systemName");
    QTest::addColumn<QString>("base");
    QTest::newRow("plain") << QStringLiteral("MV Sea Star") << QStringLiteral("MV Sea Star");
    QTest::newRow("path characters")
        << QStringLiteral("../../etc/passwd") << QStringLiteral("_.._etc_passwd");
    QTest::newRow("only marks") << QStringLiteral("***") << QStringLiteral("exchange");
    QTest::newRow("hidden file") << QStringLiteral(".ship.") << QStringLiteral("ship");
    QTest::newRow("device name") << QStringLiteral("con") << QStringLiteral("con_");
    QTest::newRow("accents") << QStringLiteral("N\u00f8rd Stj\u00e6rne")
                             << QStringLiteral("N_rd Stj_rne");
    QTest::newRow("very long") << QString(200, u'x') << QString(64, u'x');
}

void TestBackup::baseNames()
{
    QFETCH(QString, systemName);
    QFETCH(QString, base);
    QCOMPARE(backupBaseName(systemName), base);
}

void TestBackup::secondBackupInTheSameSecondKeepsTheFirst()
{
    QTemporaryDir dir;
    const QDateTime when(QDate(2024, 1, 31), QTime(10, 15, 0));
    const BackupFiles first = writeExchangeBackup(dir.path(), QStringLiteral("Ship"),
                                                  QByteArray(ExchMap::MemorySize, '\x01'), when);
    const BackupFiles second = writeExchangeBackup(dir.path(), QStringLiteral("Ship"),
                                                   QByteArray(ExchMap::MemorySize, '\x02'), when);
    QVERIFY(first.ok() && second.ok());
    QCOMPARE(QFileInfo(second.paths.at(0)).fileName(),
             QStringLiteral("Ship-20240131-101500-2.bin"));
    QFile kept(first.paths.at(0));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), QByteArray(ExchMap::MemorySize, '\x01'));
}

void TestBackup::failuresSayWhy_data()
{
    QTest::addColumn<bool>("folderIsFile");
    QTest::addColumn<int>("size");
    QTest::addColumn<QString>("error");
    QTest::newRow("folder is a file")
        << true << ExchMap::MemorySize << QStringLiteral("cannot be made");
    QTest::newRow("image too short") << false << 100
                                     << QStringLiteral("the exchange's memory image has 100 "
                                                       "bytes, not 8192");
}

void TestBackup::failuresSayWhy()
{
    QFETCH(bool, folderIsFile);
    QFETCH(int, size);
    QFETCH(QString, error);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("target"));
    if (folderIsFile) {
        QFile file(folder);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    const BackupFiles files =
        writeExchangeBackup(folder, QStringLiteral("Ship"), QByteArray(size, '\0'));
    QVERIFY(!files.ok());
    QVERIFY2(files.error.contains(error), qPrintable(files.error));
    QVERIFY(files.paths.isEmpty());
}

QTEST_GUILESS_MAIN(TestBackup)
#include "tst_backup.moc"
