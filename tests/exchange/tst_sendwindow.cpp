// Sending a configuration from the editor to the built-in simulated exchange:
// refusal while errors remain, the backup taken first, the read-back, every
// way an upload can end, restoring a backup and the raw-data view.
#include "AppSettings.h"
#include "CheckConfig.h"
#include "ExchangeFixture.h"
#include "FailOnQtWarnings.h"
#include "UploadController.h"
#include "frmSendConfig.h"

#include <QDir>
#include <QLabel>

using namespace fixtures;

namespace
{

// What the exchange holds before the upload: the small ship with other people aboard.
Configuration exchangeShip()
{
    Configuration c = smallShip();
    c.Extensions[2].ExtNum = 301;
    c.Groups[0].Exts[1] = 301;
    c.SysConfig.Pass = QStringLiteral("WXYZ");
    return c;
}

struct SendSession : ExchangeSession {
    QTemporaryDir backups;
    explicit SendSession(const Configuration &open = smallShip())
        : ExchangeSession(open, cabinetImage(exchangeShip()))
    {
        window.setBackupFolder(backups.path());
    }
    frmSendConfig *sendWindow() { return openWindow<frmSendConfig>("frmSendConfig"); }
    QStringList backupFiles()
    {
        return QDir(backups.path()).entryList(QDir::Files, QDir::Name);
    }
    QString lastText() { return prompts.asked.isEmpty() ? QString() : prompts.asked.last().text; }
};

} // namespace

class TestSendWindow : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void refusedWhileErrorsRemain();
    void uploadEnds_data();
    void uploadEnds();
    void cancelAfterClearingAsksFirst();
    void restoreBackup_data();
    void restoreBackup();
    void rawDataBeforeAnyRead();
    void readTwiceSurvivesFlippedBits();
};

void TestSendWindow::refusedWhileErrorsRemain()
{
    Configuration broken = smallShip();
    broken.Extensions[1].ExtNum = broken.Extensions[0].ExtNum; // two extensions, one number
    QVERIFY(CheckConfig(broken).ErrorsFound);
    SendSession s(broken);
    s.action("mnuConfigSend")->trigger();
    QCOMPARE(s.prompts.asked.last().title, QStringLiteral("Send Configuration"));
    QCOMPARE(s.lastText(), sendRefusalText());
    QVERIFY(!s.sendWindow());
    QVERIFY(!s.exchange().isBusy());
    QCOMPARE(s.sim().counters().commands, 0);
}

void TestSendWindow::uploadEnds_data()
{
    QTest::addColumn<int>("hangupAfter");
    QTest::addColumn<int>("badBlock");
    QTest::addColumn<bool>("good");
    QTest::addColumn<QStringList>("told");
    QTest::addColumn<bool>("exchangeDisturbed");
    QTest::newRow("verified") << 0 << 0 << true << QStringList{QStringLiteral("Verified")} << false;
    // The exchange keeps block 1 with a byte changed although it acknowledged it.
    QTest::newRow("bad block") << 0 << 1 << false
                               << QStringList{QStringLiteral("block 1 read back different")}
                               << true;
    QTest::newRow("line lost in the backup")
        << 20 << 0 << false
        << QStringList{QStringLiteral("was lost"), QStringLiteral("Nothing was written")} << false;
    QTest::newRow("line lost after clearing")
        << 2 * 64 + 10 << 0 << false
        << QStringList{QStringLiteral("was lost"), partialConfigurationMessage()} << true;
}

void TestSendWindow::uploadEnds()
{
    QFETCH(int, hangupAfter);
    QFETCH(int, badBlock);
    QFETCH(bool, good);
    QFETCH(QStringList, told);
    QFETCH(bool, exchangeDisturbed);
    SendSession s;
    SimFaults faults;
    faults.hangupAfter = hangupAfter;
    faults.badBlock = badBlock;
    s.sim().setFaults(faults);
    const QByteArray held = s.sim().configImage();
    const Configuration open = s.doc.config;
    // A lost line takes the simulator away: what it held and did is noted as it goes.
    QByteArray heldAtEnd;
    int reboots = 0;
    connect(&s.sim(), &ExchangeSimulator::hungUp, &s.window,
            [&] { heldAtEnd = s.sim().configImage(); });
    connect(&s.sim(), &ExchangeSimulator::rebooted, &s.window, [&] { ++reboots; });

    s.action("mnuConfigSend")->trigger();
    frmSendConfig *window = s.sendWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Sending Configuation"));
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 20000);
    if (hangupAfter == 0)
        heldAtEnd = s.sim().configImage();

    // Whatever happened, what the exchange held is on disk, byte for byte,
    // once the backup has been read whole.
    if (hangupAfter == 0 || hangupAfter > 2 * 64) { // the backup reads each block twice
        QVERIFY(!s.backupFiles().isEmpty());
        QFile backup(QDir(s.backups.path()).filePath(
            s.backupFiles().filter(QStringLiteral(".bin")).value(0)));
        QVERIFY(backup.open(QIODevice::ReadOnly));
        QCOMPARE((backup.readAll()), (held));
    }
    for (const QString &part : told)
        QVERIFY2(window->resultText().contains(part), qPrintable(window->resultText()));
    if (good) {
        QCOMPARE(heldAtEnd, cabinetImage(smallShip()));
        QVERIFY(s.statusText().contains(QStringLiteral("verified")));
    } else {
        // The failure is told in a box too, with the backup's file when there is one.
        QTRY_VERIFY(s.lastText().contains(told.first()));
        if (!s.backupFiles().isEmpty())
            QVERIFY(s.lastText().contains(QStringLiteral("The backup taken before this upload")));
    }
    QCOMPARE(reboots, good ? 1 : 0);
    QCOMPARE(heldAtEnd == held, !good && !exchangeDisturbed);
    // The editor's configuration is never touched by sending it.
    QCOMPARE(s.doc.config, open);
}

void TestSendWindow::cancelAfterClearingAsksFirst()
{
    SendSession s;
    s.action("mnuConfigSend")->trigger();
    frmSendConfig *window = s.sendWindow();
    QVERIFY(window);
    auto *upload = window->findChild<UploadController *>();
    QVERIFY(upload);
    // Escape halfway through the writing: first "No" (the upload goes on), then "Yes".
    int askedAt = -1;
    connect(upload, &LinkOperation::progress, window, [&](int value) {
        if (upload->phase() != UploadController::Phase::Writing || value < 10 || askedAt >= 0)
            return;
        s.prompts.buttons << QMessageBox::No << QMessageBox::Yes;
        askedAt = value;
        window->reject();
        QVERIFY(upload->isRunning());
        window->reject();
    });
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 20000);
    QVERIFY(askedAt >= 0);
    QCOMPARE(s.prompts.asked.size(), 2);
    QVERIFY(s.prompts.asked.first().text.contains(QStringLiteral("partial configuration")));
    QVERIFY(window->isVisible());
    QVERIFY(window->resultText().contains(partialConfigurationMessage()));
    QCOMPARE(s.sim().counters().reboots, 0);
}

void TestSendWindow::restoreBackup_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("restored");
    QTest::newRow("a backup") << int(ExchMap::MemorySize) << true;
    QTest::newRow("too short") << 100 << false;
    QTest::newRow("too long") << int(ExchMap::MemorySize) + 1 << false;
}

void TestSendWindow::restoreBackup()
{
    QFETCH(int, size);
    QFETCH(bool, restored);
    SendSession s;
    QByteArray image = cabinetImage(smallShip());
    image.resize(size);
    const QString name = s.dir.filePath(QStringLiteral("MV Test-20261206-101500.bin"));
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();

    s.prompts.files.enqueue(name);
    s.prompts.buttons.enqueue(QMessageBox::Yes);
    s.action("mnuFileRestore")->trigger();
    if (!restored) {
        QVERIFY(s.lastText().contains(QStringLiteral("Unable to restore")));
        QVERIFY(s.prompts.asked.last().detail.contains(QString::number(size)));
        QCOMPARE(s.sim().counters().commands, 0);
        return;
    }
    QVERIFY(s.sendWindow());
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 20000);
    QVERIFY(s.sendWindow()->resultText().startsWith(QStringLiteral("Verified")));
    QCOMPARE((s.sim().configImage()), (image));
    // Restoring takes its own backup first, under the system's name.
    QVERIFY(s.backupFiles().first().startsWith(QStringLiteral("MV Test-")));
}

void TestSendWindow::rawDataBeforeAnyRead()
{
    SendSession s;
    s.action("mnuViewRaw")->trigger();
    frmSendConfig *window = s.sendWindow();
    QVERIFY(window);
    QVERIFY(window->findChild<QLabel *>(QStringLiteral("labBackup"))
                ->text()
                .contains(QStringLiteral("nothing read from the exchange yet")));
    QCOMPARE(s.sim().counters().commands, 0);
}

void TestSendWindow::readTwiceSurvivesFlippedBits()
{
    SendSession s;
    s.action("mnuConfigVerify")->setChecked(true);
    QVERIFY(AppSettings::readTwiceToVerify());
    SimFaults faults;
    faults.flipPairEvery = 3;
    s.sim().setFaults(faults);
    const QByteArray held = s.sim().configImage();
    s.action("mnuConfigGet")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 30000);
    QVERIFY(s.sim().counters().flippedPairs > 0);
    QCOMPARE((s.exchange().memory().ExchMemory), (held));
}

QTEST_MAIN(TestSendWindow)
#include "tst_sendwindow.moc"
