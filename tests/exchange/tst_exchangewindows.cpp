// The exchange windows of the editor against the built-in simulated
// exchange: the connection and its status field, the download, the upload
// and its backups, the comparison, the installed boards, the service dialogs
// and the traffic terminal.
#include "BoardStrip.h"
#include "CheckConfig.h"
#include "CompareWindow.h"
#include "ExchangeFixture.h"
#include "FailOnQtWarnings.h"
#include "FakeSerialLine.h"
#include "InstalledBoardsWindow.h"
#include "PinPasswordDialog.h"
#include "SimulatedLine.h"
#include "TerminalWindow.h"
#include "UploadController.h"
#include "UploadWindow.h"
#include "UploadedBytes.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

using namespace fixtures;
using namespace Qt::StringLiterals;

namespace
{

// A ship the exchange holds that differs from the open one in every table,
// and in its cabinet: one more Subscriber board, in slot 4.
Configuration otherShip()
{
    Configuration c = smallShip();
    c.SysConfig.Slots[4] = BoardSubscriber;
    for (int i = 16; i < 24; ++i) {
        c.Extensions[i].Active = true;
        c.Extensions[i].ExtNum = int16_t(201 + i - 16);
        c.Extensions[i].Class = ClassCrew;
        c.Extensions[i].Status = c.ExtClasses[ClassCrew].Status;
    }
    c.Groups[0].DirNum = 502;
    c.SysConfig.Pass = QStringLiteral("WXYZ");
    return c;
}

Configuration decoded(const QByteArray &image, const Configuration &classesFrom)
{
    Configuration c = classesFrom;
    decodeExchMemory(image, c);
    return c;
}

QString lastPrompt(const ScriptedPrompter &prompts)
{
    return prompts.asked.isEmpty() ? QString() : prompts.asked.last().text;
}

// The session an upload starts from: the exchange holds the small ship with
// other people aboard, and backups go to a folder of their own.
struct SendSession : ExchangeSession {
    QTemporaryDir backups;
    explicit SendSession(const Configuration &open = smallShip())
        : ExchangeSession(open, cabinetImage(exchangeShip()))
    {
        window.exchangeCommands().setBackupFolder(backups.path());
    }
    static Configuration exchangeShip()
    {
        Configuration c = smallShip();
        c.Extensions[2].ExtNum = 301;
        c.Groups[0].Exts[1] = 301;
        c.SysConfig.Pass = QStringLiteral("WXYZ");
        return c;
    }
    UploadWindow *sendWindow() { return openWindow<UploadWindow>("frmSendConfig"); }
    QStringList backupFiles()
    {
        return QDir(backups.path()).entryList(QDir::Files, QDir::Name);
    }
    // Presses Send once the window waits for the technician.
    void pressSend()
    {
        auto *upload = sendWindow()->findChild<UploadController *>();
        QTRY_VERIFY_WITH_TIMEOUT(upload->awaiting() == UploadController::Decision::Plan, 20000);
        sendWindow()->findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
    }
};

} // namespace

class TestExchangeWindows : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void noModuleBoxOnlyWhenAsked_data();
    void noModuleBoxOnlyWhenAsked();
    void moduleConnectionFollowsTheLine();
    void download_data();
    void download();
    void compareListsDifferencesEditorUntouched();
    void installedBoards_data();
    void installedBoards();
    void serviceDialogs_data();
    void serviceDialogs();
    void commandsAndTheirQuestions_data();
    void commandsAndTheirQuestions();
    void nothingSentUnasked();
    void uploadEnds_data();
    void uploadEnds();
    void restoreBackup_data();
    void restoreBackup();
    void terminalShowsTrafficAndSendsKeys();
    void terminalAtFirstSight_data();
    void terminalAtFirstSight();
};

void TestExchangeWindows::noModuleBoxOnlyWhenAsked_data()
{
    QTest::addColumn<QString>("asked"); // how the technician asks for the exchange
    QTest::newRow("Get Configuration") << QStringLiteral("Get Configuration");
    QTest::newRow("a click on the status field") << QStringLiteral("click");
}

// Back from the simulator to the module, with none plugged in: everything
// that needs the exchange is off, and only a request of the technician's
// own says so in a box.
void TestExchangeWindows::noModuleBoxOnlyWhenAsked()
{
    QFETCH(QString, asked);
    int searches = 0;
    ExchangeSession s;
    QCOMPARE(s.connectionText(), QStringLiteral("Simulated exchange"));
    QVERIFY(s.action("mnuConfigGet")->isEnabled());
    s.exchange().search().setPortLister([&] {
        ++searches;
        return QList<PortCandidate>{};
    });
    s.window.exchangeCommands().connectSimulator(false);
    // Away from the exchange the start is quiet: the status field says it all.
    s.window.exchangeCommands().connectAtStart(false);
    QCOMPARE(searches, 1);
    QCOMPARE(s.prompts.texts(), QStringList());
    QCOMPARE(s.connectionText(), QStringLiteral("No Programming Module"));
    QVERIFY(!s.action("mnuConfigGet")->isEnabled());
    QVERIFY(!s.window.findChild<QMenu *>(QStringLiteral("mnuConfig"))->menuAction()->isEnabled());
    QVERIFY(s.action("mnuToolsTerm")->isEnabled());
    QVERIFY(s.exchange().search().isRetrying());
    // The quiet search may not open the module behind the box's back.
    bool retryingWhileShown = true;
    s.prompts.whileShown = [&](const Prompt &) {
        retryingWhileShown = s.exchange().search().isRetrying();
    };
    if (asked == QLatin1String("click"))
        QTest::mouseClick(s.window.findChild<QLabel *>(QStringLiteral("labConnection")),
                          Qt::LeftButton);
    else
        s.window.exchangeCommands().getConfig();
    QCOMPARE(s.prompts.texts(),
             QStringList{QStringLiteral("No Tidelex Analogue Programming Module Found")});
    QVERIFY(!retryingWhileShown);
    QVERIFY(s.exchange().search().isRetrying());
}

void TestExchangeWindows::moduleConnectionFollowsTheLine()
{
    auto line = std::make_unique<FakeSerialLine>();
    FakeSerialLine &module = *line;
    ExchangeConnection exchange(std::move(line));
    exchange.search().setPortLister([] {
        return QList<PortCandidate>{{QStringLiteral("ttyUSB7"),
                                     QStringLiteral("Tidelex Analogue Programming Module"), true,
                                     ModuleVendorId, ModuleProductId}};
    });
    QVERIFY(exchange.connectAtStart({}));
    QCOMPARE(exchange.stateText(), QStringLiteral("Connected: ttyUSB7"));
    // Pulled out, the module is looked for again; plugged in again, it is found.
    module.vanish();
    QCOMPARE(exchange.stateText(), QStringLiteral("No Programming Module"));
    QVERIFY(exchange.search().connectModuleQuietly());
    QCOMPARE(exchange.stateText(), QStringLiteral("Connected: ttyUSB7"));
}

void TestExchangeWindows::download_data()
{
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<int>("answer"); // to the question whether to save first
    // The download read whole (twice each block, with Configuration > Verify),
    // cancelled, or its line lost.
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("told");   // "": the download never started
    QTest::newRow("saved") << false << 0 << "read" << "";
    QTest::newRow("unsaved, not kept") << true << int(QMessageBox::No) << "read" << "";
    QTest::newRow("read twice, replies spoilt") << false << 0 << "read twice" << "";
    QTest::newRow("unsaved, cancelled") << true << int(QMessageBox::Cancel) << ""
                                        << "Do you wish to save the current file";
    QTest::newRow("cancelled halfway") << false << 0 << "cancel" << "cancelled";
    QTest::newRow("line lost") << false << 0 << "hangup"
                               << "The line to the Programming Module was lost";
}

// Configuration > Get Configuration replaces the open configuration with what
// the exchange holds, as one step that Undo takes back; a download that does
// not end well leaves the editor as it was.
void TestExchangeWindows::download()
{
    QFETCH(bool, unsaved);
    QFETCH(int, answer);
    QFETCH(QString, ending);
    QFETCH(QString, told);
    const QByteArray image = cabinetImage(otherShip());
    ExchangeSession s(smallShip(), image);
    const QString file = s.doc.currentFile();
    if (unsaved) {
        s.doc.config.Extensions[0].Name = QStringLiteral("Wheelhouse");
        s.doc.markChanged();
        s.prompts.buttons.enqueue(QMessageBox::StandardButton(answer));
    }
    if (ending == QLatin1String("hangup"))
        s.sim().setFaults(SimFaults{.hangupAfter = 12});
    // Replies spoilt on the way are told apart from the exchange's own bytes.
    if (ending == QLatin1String("read twice")) {
        s.action("mnuConfigVerify")->setChecked(true);
        s.sim().setFaults(SimFaults{.flipPairEvery = 3});
    }
    // At the line's own pace there is time to press Cancel halfway.
    if (ending == QLatin1String("cancel"))
        s.exchange().simulatedLine()->setBaudRate(57600);
    const Configuration before = s.doc.config;
    const QString title = s.window.windowTitle();
    const int steps = int(s.doc.undoStack()->count());

    s.action("mnuConfigGet")->trigger();
    QPointer<QDialog> window = s.openWindow<QDialog>("frmGetConfig");
    QCOMPARE(!window, ending.isEmpty());
    // One command at a time: the menus are off, and a command called
    // directly (a shortcut, a script) is refused with a word why.
    if (window) {
        QVERIFY(!s.action("mnuConfigPIN")->isEnabled());
        auto *menu = s.window.terminal().popupMenu();
        QVERIFY(!menu->findChild<QAction *>(QStringLiteral("mnuTermTdl"))->isEnabled());
        const int asked = int(s.prompts.asked.size());
        s.window.exchangeCommands().setTiePin();
        s.window.exchangeCommands().getVersion();
        QVERIFY(!s.window.findChild<PinPasswordDialog *>());
        QCOMPARE(int(s.prompts.asked.size()), asked);
        QVERIFY(s.statusText().contains(QStringLiteral("wait")));
    }
    if (ending == QLatin1String("cancel")) {
        auto *bar = window->findChild<QProgressBar *>(QStringLiteral("pgbStatus"));
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 5, 10000);
        window->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        QVERIFY(s.statusText().contains(told));
    } else if (ending == QLatin1String("hangup")) {
        QTRY_VERIFY_WITH_TIMEOUT(lastPrompt(s.prompts).contains(told), 15000);
        QVERIFY(lastPrompt(s.prompts).contains(QStringLiteral("unchanged")));
    } else if (ending.isEmpty()) {
        QCOMPARE(lastPrompt(s.prompts), told);
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Getting Configuration"),
                                  5000);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 15000);
    if (!ending.startsWith(QLatin1String("read"))) {
        QCOMPARE(s.doc.config, before);
        QCOMPARE(s.window.windowTitle(), title);
        QCOMPARE(s.doc.configChanged(), unsaved);
        return;
    }
    QCOMPARE(s.doc.config, decoded(image, before));
    QCOMPARE(s.sim().counters().byteReads, 0); // the refused command never ran
    QVERIFY(s.action("mnuConfigPIN")->isEnabled());
    // Unnamed and unsaved: Save never writes generated names over the file that was open.
    QVERIFY(s.doc.currentFile().isEmpty());
    QVERIFY(s.doc.configChanged());
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - New Configuration*"));
    QVERIFY(QFile::exists(file));
    QCOMPARE(s.sim().counters().blocksServed == 64, ending == QLatin1String("read"));
    QCOMPARE(s.sim().counters().flippedPairs > 0, ending != QLatin1String("read"));
    QTRY_VERIFY(!s.openWindow<QDialog>("frmGetConfig"));

    // One step that Undo takes back: the file is back as it stood, contents,
    // name and saved state; Redo brings the download again.
    QCOMPARE(s.action("mnuEditUndo")->text(), QStringLiteral("&Undo Get Configuration"));
    s.action("mnuEditUndo")->trigger();
    QCOMPARE(s.doc.config, before);
    QCOMPARE(s.doc.currentFile(), file);
    QCOMPARE(s.doc.configChanged(), unsaved);
    QCOMPARE(s.window.windowTitle(),
             QStringLiteral("helmWISE - ") + file + (unsaved ? QStringLiteral("*") : QString()));
    s.action("mnuEditRedo")->trigger();
    QCOMPARE(s.doc.config, decoded(image, before));
    QCOMPARE(s.doc.undoStack()->count(), steps + 1);
}

// Configuration > Compare with Exchange lists what the exchange holds beside
// the open configuration, which stays as it was.
void TestExchangeWindows::compareListsDifferencesEditorUntouched()
{
    Configuration held = smallShip();
    held.Extensions[2].ExtNum = 150;
    held.SysConfig.PIN = 1234;
    ExchangeSession s(smallShip(), cabinetImage(held));
    const Configuration before = s.doc.config;

    s.action("mnuConfigCompare")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 15000);
    QTRY_VERIFY(s.window.findChild<CompareWindow *>());
    auto *window = s.window.findChild<CompareWindow *>();
    QCOMPARE(window->windowTitle(), QStringLiteral("Compare with Exchange"));
    // The exchange keeps no names: they are left out from the start.
    QVERIFY(window->findChild<QCheckBox *>(QStringLiteral("chkIgnoreNames"))->isChecked());
    auto *list = window->findChild<QTreeWidget *>(QStringLiteral("vsDiff"));
    // Every row under its heading: the system is its own; other records sit under their kind.
    QStringList shown;
    for (QTreeWidgetItemIterator it(list); *it; ++it) {
        QStringList row;
        for (const QTreeWidgetItem *item = *it; item; item = item->parent())
            row.prepend(item->text(0));
        shown << row.join(u'|') + u' ' + (*it)->text(1) + u'/' + (*it)->text(2);
    }
    QCOMPARE(shown,
             (QStringList{QStringLiteral("System /"), QStringLiteral("System|Tie PIN None/1234"),
                          QStringLiteral("Extensions (1) /"),
                          QStringLiteral("Extensions (1)|Extension 01.3 /"),
                          QStringLiteral("Extensions (1)|Extension 01.3|Ext No 103/150")}));
    QCOMPARE(s.doc.config, before);
    QVERIFY(!s.doc.configChanged());
    QCOMPARE(s.doc.undoStack()->count(), 0);
}

void TestExchangeWindows::installedBoards_data()
{
    QTest::addColumn<QString>("ending"); // read whole, the line lost, or the window closed
    QTest::addColumn<bool>("sameCabinet");
    QTest::addColumn<QStringList>("differences");
    QTest::newRow("other cabinet")
        << "read" << false
        << QStringList{QStringLiteral("Slot 4: configuration Empty, exchange Subscriber")};
    QTest::newRow("same cabinet") << "read" << true << QStringList{};
    QTest::newRow("line lost") << "unplug" << false << QStringList{};
    QTest::newRow("window closed") << "close" << false << QStringList{};
}

// Configuration > Show Installed Boards reads the cabinet with progress and
// names the slots that differ from the open configuration; a partial
// reading never stands for the cabinet.
void TestExchangeWindows::installedBoards()
{
    QFETCH(QString, ending);
    QFETCH(bool, sameCabinet);
    QFETCH(QStringList, differences);
    ExchangeSession s(smallShip(), cabinetImage(sameCabinet ? smallShip() : otherShip()));
    const InstalledBoardList before = s.doc.InstalledBoards;
    // Slow enough to step in after a few slots.
    if (ending != QLatin1String("read"))
        s.exchange().simulatedLine()->setBaudRate(1200);

    s.action("mnuConfigBoards")->trigger();
    QPointer<InstalledBoardsWindow> window = s.openWindow<InstalledBoardsWindow>("frmSlots");
    QVERIFY(window);
    QVERIFY(s.exchange().isBusy());
    QVERIFY(!s.action("mnuConfigGet")->isEnabled());
    auto *bar = window->findChild<QProgressBar *>(QStringLiteral("pgbStatus"));
    QVERIFY(bar->isVisible());
    QCOMPARE(bar->maximum(), 17);
    if (ending == QLatin1String("close")) {
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 3, 10000);
        window->close();
        QVERIFY(!s.exchange().isBusy());
        QTRY_VERIFY(!window);
        // The line is free: the replies still on their way go nowhere, and the
        // next command gets its own answer.
        s.window.exchangeCommands().getVersion();
        QTRY_VERIFY_WITH_TIMEOUT(
            lastPrompt(s.prompts).startsWith(QStringLiteral("Exchange has version 2+ firmware")),
            10000);
    } else if (ending == QLatin1String("unplug")) {
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 3, 10000);
        s.exchange().simulatedLine()->unplug(QStringLiteral("unplugged"));
        QTRY_VERIFY_WITH_TIMEOUT(!s.prompts.asked.isEmpty(), 10000);
        QCOMPARE(s.prompts.texts(),
                 QStringList{QStringLiteral("The boards could not be read from the exchange.\n") +
                             lineLostMessage(QStringLiteral("unplugged"))});
        QVERIFY(!s.exchange().isBusy());
    }
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 10000);
    QVERIFY(!s.doc.configChanged());
    if (ending != QLatin1String("read")) {
        QCOMPARE(s.doc.InstalledBoards, before);
        QVERIFY(!window || window->differenceTexts().isEmpty());
        return;
    }
    QCOMPARE(s.sim().counters().byteReads, 17);
    QCOMPARE(window->differenceTexts(), differences);
    QCOMPARE(s.doc.InstalledBoards[4], int16_t(sameCabinet ? BoardEmpty : BoardSubscriber));
    QCOMPARE(s.doc.InstalledBoards[17], int16_t(BoardRinging));
    // The picture shows the boards as the exchange reports them, the differing slot marked.
    auto *strip = window->findChild<BoardStrip *>();
    QCOMPARE(strip->slotColour(4), BoardStrip::colourFor(s.doc.InstalledBoards[4]));
    QCOMPARE(strip->slotMarked(4), !sameCabinet);
    QVERIFY(!strip->slotMarked(2));
    QVERIFY(!bar->isVisible());
    QVERIFY(s.prompts.asked.isEmpty());

    // Asked again, the open window reads the cabinet afresh; no second window opens.
    s.action("mnuConfigBoards")->trigger();
    QCOMPARE(s.window.findChildren<InstalledBoardsWindow *>().size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 10000);
    QCOMPARE(s.sim().counters().byteReads, 34);
}

void TestExchangeWindows::serviceDialogs_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("held"); // the PIN bytes the exchange holds; empty: as sent
    QTest::addColumn<QString>("shown");   // in the box (the clock's: both, time first)
    QTest::addColumn<QString>("read");    // the dialog's status once the value is read
    QTest::addColumn<QString>("typed");   // on the keys, over the value shown
    QTest::addColumn<QString>("kept");    // what the box then holds
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QByteArray>("stored"); // the clock's as text
    QTest::addColumn<QString>("told");    // the main window's status once it is set
    const QByteArray pin1230("\x01\x02\x03\x0A", 4);
    const QString enter = QStringLiteral("Enter Value");
    QTest::newRow("PIN removed") << "mnuConfigPIN" << pin1230 << "1230" << enter << "" << ""
                                 << QString() << QByteArray(4, '\xFF')
                                 << "Tie PIN removed: the exchange holds no PIN.";
    // A nought is held as 0x0A.
    QTest::newRow("PIN changed") << "mnuConfigPIN" << pin1230 << "1230" << enter << "4507" << "4507"
                                 << QString() << QByteArray("\x04\x05\x0A\x07", 4)
                                 << "Tie PIN set: the exchange holds 4507.";
    QTest::newRow("PIN keys other than digits ignored")
        << "mnuConfigPIN" << pin1230 << "1230" << enter << "1a2b" << "12" << "12 is too short"
        << pin1230 << QString();
    QTest::newRow("PIN after a configuration without one")
        << "mnuConfigPIN" << QByteArray(4, '\0') << "" << "No PIN set. Enter Value" << "2345"
        << "2345" << QString() << QByteArray("\x02\x03\x04\x05")
        << "Tie PIN set: the exchange holds 2345.";
    QTest::newRow("password in capitals, no Q")
        << "mnuConfigPass" << QByteArray() << "ABCD" << enter << "sqhQip" << "SHIP" << QString()
        << QByteArray("SHIP") << "Password set.";
    const QString clock = QStringLiteral("Enter New time and date or press PC time to set");
    QTest::newRow("clock set") << "mnuConfigSetDate" << QByteArray() << "12:30:45 06/12/26" << clock
                               << "080500 010203" << "08:05:00 01/02/03" << QString()
                               << QByteArray("08:05:00 01/02/03") << "Clock set to 08:05:00 01/02/03.";
    QTest::newRow("no such day")
        << "mnuConfigSetDate" << QByteArray() << "12:30:45 06/12/26" << clock << "080500 300203"
        << "08:05:00 30/02/03" << "08:05:00 30/02/03 is not a time and date (hh:mm:ss dd/mm/yy)"
        << QByteArray("12:30:45 06/12/26") << QString();
}
// clang-format on

void TestExchangeWindows::serviceDialogs()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, held);
    QFETCH(QString, shown);
    QFETCH(QString, read);
    QFETCH(QString, typed);
    QFETCH(QString, kept);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, stored);
    QFETCH(QString, told);
    const bool pin = command == QLatin1String("mnuConfigPIN");
    const int address = pin ? ExchangeSimulator::PinAddress : ExchangeSimulator::PasswordAddress;
    const int length = pin ? ExchangeSimulator::PinLength : ExchangeSimulator::PasswordLength;
    ExchangeSession s;
    s.sim().setClockRunning(false);
    s.sim().setClock(QDateTime(QDate(2026, 12, 6), QTime(12, 30, 45)));
    if (!held.isEmpty())
        s.sim().setBytes(address, held);
    const auto holds = [&] {
        if (command == QLatin1String("mnuConfigSetDate"))
            return s.sim().clock().toString(QStringLiteral("hh:mm:ss dd/MM/yy")).toLatin1();
        return s.sim().bytes(address, length);
    };
    s.action(qPrintable(command))->trigger();
    auto *dialog = s.window.findChild<ServiceDialog *>();
    QVERIFY(dialog);
    const QList<QLineEdit *> boxes = dialog->findChildren<QLineEdit *>();
    const auto boxTexts = [&] {
        QStringList texts;
        for (const QLineEdit *box : boxes)
            texts << box->text();
        return texts.join(u' ');
    };
    QTRY_VERIFY_WITH_TIMEOUT(boxes.first()->isEnabled(), 10000);
    QCOMPARE(boxTexts(), shown);
    QCOMPARE(dialog->statusText(), read);

    for (int i = 0; i < boxes.size(); ++i) {
        boxes[i]->selectAll();
        QTest::keyClick(boxes[i], Qt::Key_Delete);
        QTest::keyClicks(boxes[i], typed.section(u' ', i, i));
    }
    QCOMPARE(boxTexts(), kept);
    dialog->findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
    if (!refusal.isEmpty()) {
        QCOMPARE(lastPrompt(s.prompts), refusal);
        QVERIFY(dialog->isVisible());
        QVERIFY(!s.exchange().isBusy());
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(!s.window.findChild<ServiceDialog *>(), 10000);
        QCOMPARE(s.statusText(), told);
        // The next command starts with the status field empty.
        s.action("mnuConfigPIN")->trigger();
        QCOMPARE(s.statusText(), QString());
        s.window.findChild<PinPasswordDialog *>()->reject();
    }
    QCOMPARE(holds(), stored);
}

void TestExchangeWindows::commandsAndTheirQuestions_data()
{
    QTest::addColumn<QString>("command");  // a menu item, or "close" while a download runs
    QTest::addColumn<int>("answer");       // to the question; 0: Enter, the default button
    QTest::addColumn<QString>("question"); // asked with No as the default, and the last word
    QTest::addColumn<QString>("status");   // the status field once the command has ended
    QTest::addColumn<int>("reboots");
    QTest::addColumn<bool>("untouched"); // nothing was sent to the exchange
    const QString reboot = QStringLiteral("Are you sure you want to reboot the tidelex?");
    QTest::newRow("reboot, Enter") << "mnuToolsReboot" << 0 << reboot << QString() << 0 << true;
    QTest::newRow("reboot, yes") << "mnuToolsReboot" << int(QMessageBox::Yes) << reboot
                                 << "The exchange has been told to reboot." << 1 << false;
    const QString close = QStringLiteral("A transfer with the exchange is still running; closing "
                                         "stops it.\nClose anyway?");
    QTest::newRow("close during a download, Enter")
        << "close" << 0 << close << "Configuration read from the exchange." << 0 << false;
}

void TestExchangeWindows::commandsAndTheirQuestions()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(QString, status);
    QFETCH(int, reboots);
    QFETCH(bool, untouched);
    ExchangeSession s;
    s.window.findChild<QLabel *>(QStringLiteral("Status"))->clear();
    const QByteArray held = s.sim().configImage();
    if (answer)
        s.prompts.buttons.enqueue(QMessageBox::StandardButton(answer));
    if (command == QLatin1String("close")) {
        s.action("mnuConfigGet")->trigger();
        s.window.close();
    } else {
        s.action(qPrintable(command))->trigger();
    }
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 15000);
    QTRY_COMPARE(lastPrompt(s.prompts), question);
    QCOMPARE(s.prompts.asked.last().defaultButton, QMessageBox::No);
    QTRY_COMPARE_WITH_TIMEOUT(s.sim().counters().reboots, reboots, 5000);
    QCOMPARE(s.statusText(), status);
    QCOMPARE(s.sim().counters().commands == 0, untouched);
    QCOMPARE(s.sim().configImage(), held);
    QVERIFY(s.window.isVisible());
}

// Neither a send refused for errors nor a look at the raw data before any
// read puts anything on the line.
void TestExchangeWindows::nothingSentUnasked()
{
    Configuration broken = smallShip();
    broken.Extensions[1].ExtNum = broken.Extensions[0].ExtNum; // two extensions, one number
    QVERIFY(checkConfig(broken).errorsFound);
    SendSession s(broken);
    s.action("mnuConfigSend")->trigger();
    QCOMPARE(s.prompts.asked.last().title, QStringLiteral("Send Configuration"));
    QCOMPARE(lastPrompt(s.prompts), sendRefusalText());
    QVERIFY(!s.sendWindow());
    s.action("mnuViewRaw")->trigger();
    QVERIFY(s.sendWindow()
                ->findChild<QLabel *>(QStringLiteral("labBackup"))
                ->text()
                .contains(QStringLiteral("nothing read from the exchange yet")));
    QCOMPARE(s.sim().counters().commands, 0);
}

// Every ending is told by the upload itself; the window shows one of each
// kind it tells apart: verified, stopped before writing, left partial. The
// window closed on the way asks first, naming the step, and the transfer
// stands still while it asks.
void TestExchangeWindows::uploadEnds_data()
{
    QTest::addColumn<SimFaults>("faults");
    // The UploadController::Phase the window is closed in; at the plan by
    // Enter (its default: Cancel), otherwise the plan is sent.
    QTest::addColumn<int>("closedIn");
    QTest::addColumn<int>("answer"); // Yes stops the transfer; No lets it run to the end
    QTest::addColumn<QString>("question");
    QTest::addColumn<QString>("told"); // in the outcome line
    QTest::addColumn<bool>("written"); // the exchange holds the configuration sent
    using Phase = UploadController::Phase;
    const int open = int(Phase::Idle);
    const int yes = QMessageBox::Yes;
    const QString unchanged = QStringLiteral("before anything was written");
    QTest::newRow("sent, replies lost on the way") << SimFaults{.dropEvery = 41} << open << 0 << ""
                                                   << "Verified" << true;
    QTest::newRow("plan, Enter") << SimFaults{} << int(Phase::Plan) << 0 << "" << unchanged
                                 << false;
    // The backup reads every block twice.
    QTest::newRow("line lost after clearing") << SimFaults{.hangupAfter = 2 * 64 + 2} << open << 0
                                              << "" << partialConfigurationMessage() << false;
    QTest::newRow("closed in the backup")
        << SimFaults{} << int(Phase::Backup) << yes
        << "Nothing has been written to the exchange yet" << unchanged << false;
    QTest::newRow("closed while writing")
        << SimFaults{} << int(Phase::Writing) << yes << "left with a partial configuration"
        << QStringLiteral("Transfer cancelled. ") + partialConfigurationMessage() << false;
    QTest::newRow("closed in the read-back, No goes on")
        << SimFaults{} << int(Phase::Verifying) << int(QMessageBox::No)
        << "only the check that reads it back"
        << "Verified" << true;
}

void TestExchangeWindows::uploadEnds()
{
    QFETCH(SimFaults, faults);
    QFETCH(int, closedIn);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(QString, told);
    QFETCH(bool, written);
    SendSession s;
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
    int before = -1;
    int after = -1;
    if (answer) {
        s.prompts.whileShown = [&](const Prompt &) {
            QTest::qWait(100); // what was on the line already arrives
            before = s.sim().counters().commands;
            QTest::qWait(300);
            after = s.sim().counters().commands;
        };
        s.prompts.buttons << QMessageBox::StandardButton(answer);
        bool closed = false;
        connect(upload, &LinkOperation::progress, window, [=]() mutable {
            if (int(upload->phase()) != closedIn || closed)
                return;
            closed = true;
            QTimer::singleShot(0, window, [window] { window->reject(); });
        });
    }
    if (closedIn != int(UploadController::Phase::Backup)) {
        QTRY_VERIFY_WITH_TIMEOUT(upload->awaiting() != UploadController::Decision::None, 20000);
        // Nothing is written while the window waits.
        QCOMPARE(s.sim().counters().fills, 0);
        if (closedIn != int(UploadController::Phase::Plan))
            window->findChild<QPushButton *>(QStringLiteral("cmdSend"))->click();
        else
            QTest::keyClick(window, Qt::Key_Return);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 30000);
    QVERIFY2(window->resultText().contains(told), qPrintable(window->resultText()));
    if (faults.hangupAfter == 0)
        heldAtEnd = s.sim().configImage();
    QCOMPARE(uploaded(heldAtEnd) == uploaded(cabinetImage(smallShip())), written);
    if (told == QLatin1String("before anything was written"))
        QCOMPARE(heldAtEnd, held);
    QCOMPARE(s.backupFiles().size(), closedIn == int(UploadController::Phase::Backup) ? 0 : 2);
    QCOMPARE(reboots, written ? 1 : 0);
    if (faults.dropEvery)
        QVERIFY(window->findChild<QLabel *>(QStringLiteral("labRetries"))
                    ->text()
                    .startsWith(QStringLiteral("Replies asked for again: ")));
    if (faults.hangupAfter)
        QTRY_VERIFY(
            lastPrompt(s.prompts).contains(QStringLiteral("The backup taken before this upload")));
    if (answer) {
        QCOMPARE(s.prompts.asked.size(), 1);
        QVERIFY2(lastPrompt(s.prompts).contains(question), qPrintable(lastPrompt(s.prompts)));
        QCOMPARE(after, before);
    }
}

void TestExchangeWindows::restoreBackup_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<bool>("restored");
    QTest::newRow("a backup") << int(ExchMap::MemorySize) << true;
    QTest::newRow("too long") << int(ExchMap::MemorySize) + 1 << false;
    QTest::newRow("no configuration") << -1 << false;
}

void TestExchangeWindows::restoreBackup()
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
        QVERIFY(lastPrompt(s.prompts).contains(QStringLiteral("Unable to restore")));
        QVERIFY(s.prompts.asked.last().detail.contains(
            size < 0 ? QStringLiteral("not an exchange configuration") : QString::number(size)));
        QCOMPARE(s.sim().counters().commands, 0);
        return;
    }
    s.pressSend();
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 20000);
    QVERIFY(s.sendWindow()->resultText().startsWith(QStringLiteral("Verified")));
    QCOMPARE(s.sim().configImage(), image);
    // Restoring takes its own backup first, under the system's name.
    QVERIFY(s.backupFiles().first().startsWith(QStringLiteral("MV Test-")));
}

void TestExchangeWindows::terminalShowsTrafficAndSendsKeys()
{
    ExchangeSession s;
    TerminalWindow &terminal = s.window.terminal();
    s.action("mnuToolsTerm")->trigger();
    QVERIFY(terminal.isVisible());
    auto *term = terminal.findChild<QPlainTextEdit *>(QStringLiteral("Term"));

    terminal.popupMenu()->findChild<QAction *>(QStringLiteral("mnuTermShow"))->trigger();
    QVERIFY(s.exchange().link().showAllMessages());
    s.window.exchangeCommands().getVersion();
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 10000);
    // The read-byte command shows as its letter, the reply as received text.
    QVERIFY2(terminal.text().contains(QStringLiteral("Q32")), qPrintable(terminal.text()));

    // A download suspends the trace and an ending puts it back; a service
    // read cancelled afterwards does not undo the technician's choice.
    s.window.exchangeCommands().getConfig();
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 15000);
    QVERIFY(s.exchange().link().showAllMessages());
    s.action("mnuConfigPIN")->trigger();
    s.window.findChild<PinPasswordDialog *>()->reject();
    QVERIFY(s.exchange().link().showAllMessages());

    // While a command runs, typing is refused; the dialog closed just before
    // it never takes its replies.
    const int stray = s.sim().counters().strayBytes;
    const int asked = int(s.prompts.asked.size());
    s.window.exchangeCommands().getVersion();
    QVERIFY(s.exchange().isBusy());
    QTest::keyClick(term, Qt::Key_B);
    QTRY_COMPARE_WITH_TIMEOUT(int(s.prompts.asked.size()), asked + 1, 10000);
    QVERIFY(lastPrompt(s.prompts).startsWith(QStringLiteral("Exchange has version 2+ firmware")));
    QVERIFY(!s.exchange().isBusy());
    QCOMPARE(s.sim().counters().strayBytes, stray);

    // A typed key goes to the exchange; this one does not echo it, so it is shown here.
    const QString shown = terminal.text() + u'a';
    QTest::keyClick(term, Qt::Key_A);
    QTRY_COMPARE(s.sim().counters().strayBytes, stray + 1);
    QCOMPARE(terminal.text(), shown);

    // Its close box hides it; it comes back as it was.
    terminal.close();
    QVERIFY(!terminal.isVisible());
    s.action("mnuToolsTerm")->trigger();
    QVERIFY(terminal.text().startsWith(shown.left(10)));
    // Past a size the oldest text goes, in one large piece.
    const int before = term->document()->characterCount();
    terminal.append({{TraceColour::Plain, QString(TerminalWindow::TrimThreshold - before, u'x')}});
    const int full = term->document()->characterCount();
    QVERIFY(full >= TerminalWindow::TrimThreshold);
    terminal.append({{TraceColour::Plain, QStringLiteral("yz")}});
    QCOMPARE(term->document()->characterCount(), full - TerminalWindow::TrimCharacters + 2);
    QVERIFY(terminal.text().endsWith(QStringLiteral("xyz")));
    // The editor then goes with the terminal open and active: closing the
    // terminal moves the focus while the editor's views are already gone.
    terminal.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&terminal));
}

void TestExchangeWindows::terminalAtFirstSight_data()
{
    // Steps: text typed on the keys; "\b" Backspace, "\r" Return; ">text" what
    // the exchange sends back (put in by hand: the simulator answers no typed
    // key); "Clear" the toolbar's Clear.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QString>("shown");
    QTest::newRow("keys typed show while the exchange does not echo them")
        << QStringList{u"ab"_s, u"\b"_s, u"c"_s, u"\r"_s} << "ac\n";
    QTest::newRow("once the exchange echoes, only its echo shows")
        << QStringList{u"a"_s, u">a"_s, u"b"_s, u">b"_s} << "aab";
    QTest::newRow("an answer that is no echo keeps the typing shown")
        << QStringList{u"1"_s, u">MENU\r\n"_s, u"2"_s} << "1MENU\n2";
    // Received text is shown as it came, never read as markup; CR starts a line.
    QTest::newRow("markup and line ends")
        << QStringList{u"><b>00\r\n"_s, u"><ACK>"_s} << "<b>00\n<ACK>";
    QTest::newRow("Clear on the toolbar empties it") << QStringList{u"><ACK>"_s, u"Clear"_s} << "";
}

// The terminal as a technician meets it: the right-click menu's commands
// on a toolbar, a hint while nothing has come, and the keys typed in sight.
void TestExchangeWindows::terminalAtFirstSight()
{
    QFETCH(QStringList, steps);
    QFETCH(QString, shown);
    ExchangeSession s;
    TerminalWindow &terminal = s.window.terminal();
    s.action("mnuToolsTerm")->trigger();
    auto *term = terminal.findChild<QPlainTextEdit *>(QStringLiteral("Term"));
    QVERIFY(!term->placeholderText().isEmpty());
    auto *bar = terminal.findChild<QToolBar *>(QStringLiteral("tbTerm"));
    const auto texts = [](const QList<QAction *> &items) {
        QStringList list;
        for (QAction *item : items) {
            if (!item->isSeparator())
                list << item->text();
        }
        return list;
    };
    QCOMPARE(texts(bar->actions()), texts(terminal.popupMenu()->actions()));

    for (const QString &step : steps) {
        if (step.startsWith(u'>')) {
            terminal.append({{TraceColour::Plain, step.mid(1)}});
        } else if (step == QLatin1String("Clear")) {
            auto *clear = terminal.findChild<QAction *>(QStringLiteral("mnuTermClear"));
            qobject_cast<QToolButton *>(bar->widgetForAction(clear))->click();
        } else if (step == QLatin1String("\b") || step == QLatin1String("\r")) {
            QTest::keyClick(term, step == QLatin1String("\b") ? Qt::Key_Backspace : Qt::Key_Return);
        } else {
            QTest::keyClicks(term, step);
        }
    }
    QCOMPARE(terminal.text(), shown);
}

QTEST_MAIN(TestExchangeWindows)
#include "tst_exchangewindows.moc"
