// Sending a configuration from the editor to the built-in simulated exchange:
// refusal while errors remain, the backup taken first, the read-back, every
// way an upload can end, restoring a backup and the raw-data view.
#include "AppSettings.h"
#include "CheckConfig.h"
#include "ExchangeFixture.h"
#include "FailOnQtWarnings.h"
#include "UploadController.h"
#include "UploadWindow.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "BoardChange.h"
#include "UploadedBytes.h"

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
        window.exchangeCommands().setBackupFolder(backups.path());
    }
    UploadWindow *sendWindow() { return openWindow<UploadWindow>("frmSendConfig"); }
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
    void stopQuestionNamesTheStep_data();
    void stopQuestionNamesTheStep();
    void restoreBackup_data();
    void restoreBackup();
    void rawDataBeforeAnyRead();
    void readTwiceSurvivesFlippedBits();
};

void TestSendWindow::refusedWhileErrorsRemain()
{
    Configuration broken = smallShip();
    broken.Extensions[1].ExtNum = broken.Extensions[0].ExtNum; // two extensions, one number
    QVERIFY(checkConfig(broken).errorsFound);
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
    // The technician's steps: "send" presses Send (or Send Anyway), "enter"
    // presses Enter while the window waits (its default: Cancel).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<bool>("otherBoards"); // the cabinet has no board in slot 5
    QTest::addColumn<SimFaults>("faults");
    QTest::addColumn<QString>("told"); // in the outcome line
    QTest::addColumn<bool>("written"); // the exchange holds the configuration sent
    QTest::addColumn<int>("backups");  // files kept
    const QStringList send{QStringLiteral("send")};
    const QStringList enter{QStringLiteral("enter")};
    SimFaults none;
    SimFaults dropped;
    dropped.dropEvery = 41;
    QTest::newRow("sent, replies lost on the way")
        << send << false << dropped << QStringLiteral("Verified") << true << 2;
    QTest::newRow("plan, Enter") << enter << false << none
                                 << QStringLiteral("before anything was written") << false << 2;
    QTest::newRow("boards differ, Send Anyway")
        << send + send << true << none << QStringLiteral("Verified") << true << 2;
    SimFaults hangup;
    hangup.hangupAfter = 2 * 64 + 2; // the backup reads every block twice
    QTest::newRow("line lost after clearing")
        << send << false << hangup << partialConfigurationMessage() << false << 2;
}

void TestSendWindow::uploadEnds()
{
    QFETCH(QStringList, steps);
    QFETCH(bool, otherBoards);
    QFETCH(SimFaults, faults);
    QFETCH(QString, told);
    QFETCH(bool, written);
    QFETCH(int, backups);
    Configuration open = smallShip();
    if (otherBoards)
        changeSlotBoard(open, 5, tidelex::BoardSubscriber);
    SendSession s(open);
    s.sim().setFaults(faults);
    const QByteArray held = s.sim().configImage();
    // A lost line takes the simulator away: what it held and did is noted as it goes.
    QByteArray heldAtEnd;
    int reboots = 0;
    connect(&s.sim(), &ExchangeSimulator::hungUp, &s.window,
            [&] { heldAtEnd = s.sim().configImage(); });
    connect(&s.sim(), &ExchangeSimulator::rebooted, &s.window, [&] { ++reboots; });

    s.action("mnuConfigSend")->trigger();
    UploadWindow *window = s.sendWindow();
    QVERIFY(window);
    QCOMPARE(window->windowTitle(), QStringLiteral("Sending Configuration"));
    auto *upload = window->findChild<UploadController *>();
    for (const QString &step : steps) {
        QTRY_VERIFY_WITH_TIMEOUT(upload->awaiting() != UploadController::Decision::None, 20000);
        // Nothing is written while the window waits.
        QCOMPARE(s.sim().counters().fills, 0);
        if (step == QLatin1String("send"))
            window->findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
        else
            QTest::keyClick(window, Qt::Key_Return);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 30000);
    QVERIFY2(window->resultText().contains(told), qPrintable(window->resultText()));
    if (faults.hangupAfter == 0)
        heldAtEnd = s.sim().configImage();
    QCOMPARE(uploaded(heldAtEnd) == uploaded(cabinetImage(open)), written);
    if (!written && told != partialConfigurationMessage())
        QCOMPARE(heldAtEnd, held);
    QCOMPARE(s.backupFiles().size(), backups);
    QCOMPARE(reboots, written ? 1 : 0);
    if (faults.dropEvery)
        QVERIFY(window->findChild<QLabel *>(QStringLiteral("labRetries"))
                    ->text()
                    .startsWith(QStringLiteral("Replies asked for again: ")));
    if (told == partialConfigurationMessage())
        QTRY_VERIFY(s.lastText().contains(QStringLiteral("The backup taken before this upload")));
}

void TestSendWindow::stopQuestionNamesTheStep_data()
{
    QTest::addColumn<int>("phase"); // UploadController::Phase
    QTest::addColumn<QString>("question");
    QTest::newRow("backup") << int(UploadController::Phase::Backup)
                            << QStringLiteral("Nothing has been written to the exchange yet");
    QTest::newRow("writing") << int(UploadController::Phase::Writing)
                             << QStringLiteral("left with a partial configuration");
    QTest::newRow("read-back") << int(UploadController::Phase::Verifying)
                               << QStringLiteral("Everything has been written; only the check");
}

void TestSendWindow::stopQuestionNamesTheStep()
{
    QFETCH(int, phase);
    QFETCH(QString, question);
    SendSession s;
    s.action("mnuConfigSend")->trigger();
    UploadWindow *window = s.sendWindow();
    auto *upload = window->findChild<UploadController *>();
    if (phase != int(UploadController::Phase::Backup)) {
        QTRY_VERIFY_WITH_TIMEOUT(upload->awaiting() == UploadController::Decision::Plan, 20000);
        window->findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
    }
    // While the question is open the transfer stands still.
    int before = -1;
    int after = -1;
    s.prompts.whileShown = [&](const Prompt &) {
        QTest::qWait(100); // what was on the line already arrives
        before = s.sim().counters().commands;
        QTest::qWait(300);
        after = s.sim().counters().commands;
    };
    s.prompts.buttons << QMessageBox::Yes;
    bool asked = false;
    connect(upload, &LinkOperation::progress, window, [&] {
        if (int(upload->phase()) != phase || asked)
            return;
        asked = true;
        QTimer::singleShot(0, window, [window] { window->reject(); });
    });
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 20000);
    QVERIFY(asked);
    QCOMPARE(s.prompts.asked.size(), 1);
    QVERIFY2(s.lastText().contains(question), qPrintable(s.lastText()));
    QCOMPARE(after, before);
    QCOMPARE(s.sim().counters().reboots, 0);
}

void TestSendWindow::restoreBackup_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("restored");
    QTest::newRow("a backup") << int(ExchMap::MemorySize) << true;
    QTest::newRow("too long") << int(ExchMap::MemorySize) + 1 << false;
    QTest::newRow("no configuration") << -1 << false;
}

void TestSendWindow::restoreBackup()
{
    QFETCH(int, size);
    QFETCH(bool, restored);
    SendSession s;
    QByteArray image = cabinetImage(smallShip());
    if (size < 0) // as many bytes, but no exchange ever held them
        image.fill('\x42');
    else
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
        QVERIFY(s.prompts.asked.last().detail.contains(
            size < 0 ? QStringLiteral("not an exchange configuration") : QString::number(size)));
        QCOMPARE(s.sim().counters().commands, 0);
        return;
    }
    QVERIFY(s.sendWindow());
    auto *upload = s.sendWindow()->findChild<UploadController *>();
    QTRY_VERIFY_WITH_TIMEOUT(upload->awaiting() == UploadController::Decision::Plan, 20000);
    s.sendWindow()->findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
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
    UploadWindow *window = s.sendWindow();
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
