// The exchange windows of the editor against the built-in simulated
// exchange: the connection and its status field, the download, the
// comparison, the service dialogs and the traffic terminal.
#include "ExchangeFixture.h"
#include "FailOnQtWarnings.h"
#include "FakeSerialLine.h"
#include "ServiceController.h"
#include "NavTree.h"
#include "ServiceValues.h"
#include "SimulatedLine.h"
#include "TerminalWindow.h"
#include "PinPasswordDialog.h"
#include "ClockDialog.h"
#include "CompareWindow.h"

#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

#include <algorithm>

using namespace fixtures;

namespace
{

// A ship the exchange holds that differs from the open one in every table.
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

} // namespace

class TestExchangeWindows : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void simulatedConnection();
    void noModuleBoxOnlyWhenAsked_data();
    void noModuleBoxOnlyWhenAsked();
    void moduleConnectionFollowsTheLine();
    void downloadReplacesConfiguration_data();
    void downloadReplacesConfiguration();
    void downloadEndsWithoutTouchingEditor_data();
    void downloadEndsWithoutTouchingEditor();
    void compareListsDifferencesEditorUntouched();
    void oneCommandAtATime();
    void pinDialog_data();
    void pinDialog();
    void passwordTyping();
    void clockDialog_data();
    void clockDialog();
    void commandsAndTheirQuestions_data();
    void commandsAndTheirQuestions();
    void terminalColoursAndTrim();
    void terminalShowsTrafficAndSendsKeys();
    void terminalAtFirstSight_data();
    void terminalAtFirstSight();
};

void TestExchangeWindows::simulatedConnection()
{
    ExchangeSession s;
    QCOMPARE(s.connectionText(), QStringLiteral("Simulated exchange"));
    for (const char *name : {"mnuConfigGet", "mnuConfigPIN", "mnuConfigPass", "mnuConfigSetDate",
                             "mnuToolsVersion", "mnuToolsReboot"})
        QVERIFY2(s.action(name)->isEnabled(), name);
    QVERIFY(s.action("mnuToolsTerm")->isEnabled());

    // Back to the module: none is plugged in here, so everything that needs it is off.
    s.window.exchangeCommands().connectSimulator(false);
    QCOMPARE(s.connectionText(), QStringLiteral("No Programming Module"));
    QVERIFY(!s.action("mnuConfigGet")->isEnabled());
    QVERIFY(s.action("mnuToolsTerm")->isEnabled());
    QVERIFY(s.exchange().search().isRetrying());
}

void TestExchangeWindows::noModuleBoxOnlyWhenAsked_data()
{
    QTest::addColumn<QString>("asked"); // how the technician asks for the exchange; "": not at all
    QTest::newRow("start-up alone") << QString();
    QTest::newRow("Get Configuration") << QStringLiteral("Get Configuration");
    QTest::newRow("a click on the status field") << QStringLiteral("click");
}

void TestExchangeWindows::noModuleBoxOnlyWhenAsked()
{
    QFETCH(QString, asked);
    QTemporaryDir dir;
    useTemporarySettings(dir);
    ScriptedPrompter prompts;
    ConfigDocument doc;
    MainWindow window(doc);
    const QString file = dir.filePath(QStringLiteral("ship.TWZ"));
    writeConfigFile(file, smallShip());
    window.exchange().search().setPortLister([] { return QList<PortCandidate>{}; });
    window.loadStep(file);
    window.show();
    window.exchangeCommands().connectAtStart(false);
    // Away from the exchange the start is quiet: the status field says it all.
    QCOMPARE(prompts.texts(), QStringList());
    auto *field = window.findChild<QLabel *>(QStringLiteral("labConnection"));
    QCOMPARE(field->text(), QStringLiteral("No Programming Module"));
    QVERIFY(!window.findChild<QMenu *>(QStringLiteral("mnuConfig"))->menuAction()->isEnabled());
    QVERIFY(window.exchange().search().isRetrying());
    if (asked.isEmpty())
        return;
    // The quiet search may not open the module behind the box's back.
    bool retryingWhileShown = true;
    prompts.whileShown = [&](const Prompt &) {
        retryingWhileShown = window.exchange().search().isRetrying();
    };
    if (asked == QLatin1String("click"))
        QTest::mouseClick(field, Qt::LeftButton);
    else
        window.exchangeCommands().getConfig();
    QCOMPARE(prompts.texts(),
             QStringList{QStringLiteral("No Tidelex Analogue Programming Module Found")});
    QVERIFY(!retryingWhileShown);
    QVERIFY(window.exchange().search().isRetrying());
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
    QVERIFY(!exchange.search().isRetrying());

    // A command on the line when the module is pulled out fails, and frees the line.
    ServiceController version(exchange.link());
    QVERIFY(exchange.claim(&version));
    QSignalSpy failed(&version, &LinkOperation::failed);
    QSignalSpy gone(&exchange, &ExchangeConnection::disconnected);
    version.readVersion();
    module.vanish();
    QCOMPARE(gone.count(), 1);
    QTRY_COMPARE(failed.count(), 1);
    QVERIFY(failed.first().first().toString().contains(QStringLiteral("was lost")));
    QVERIFY(!exchange.isBusy());
    QCOMPARE(exchange.stateText(), QStringLiteral("No Programming Module"));
    QVERIFY(exchange.search().isRetrying());

    // Plugged in again, the quiet search finds it.
    QVERIFY(exchange.search().connectModuleQuietly());
    QCOMPARE(exchange.stateText(), QStringLiteral("Connected: ttyUSB7"));
}

void TestExchangeWindows::downloadReplacesConfiguration_data()
{
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<int>("answer");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("saved") << false << 0 << true;
    QTest::newRow("unsaved, not kept") << true << int(QMessageBox::No) << true;
    QTest::newRow("unsaved, cancelled") << true << int(QMessageBox::Cancel) << false;
}

void TestExchangeWindows::downloadReplacesConfiguration()
{
    QFETCH(bool, unsaved);
    QFETCH(int, answer);
    QFETCH(bool, replaced);
    const QByteArray image = cabinetImage(otherShip());
    ExchangeSession s(smallShip(), image);
    const QString file = s.doc.currentFile();
    if (unsaved) {
        s.doc.config.Extensions[0].Name = QStringLiteral("Wheelhouse");
        s.doc.markChanged();
        s.prompts.buttons.enqueue(QMessageBox::StandardButton(answer));
    }
    const Configuration before = s.doc.config;
    const int steps = int(s.doc.undoStack()->count());

    s.action("mnuConfigGet")->trigger();
    if (!replaced) {
        QCOMPARE(lastPrompt(s.prompts), QStringLiteral("Do you wish to save the current file"));
        QVERIFY(!s.exchange().isBusy());
        QCOMPARE(s.doc.config, before);
        return;
    }
    QPointer<QDialog> window = s.openWindow<QDialog>("frmGetConfig");
    QVERIFY(window);
    QTRY_COMPARE_WITH_TIMEOUT(window->windowTitle(), QStringLiteral("Getting Configuration"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 15000);
    QCOMPARE(s.doc.config, decoded(image, before));
    // Unnamed and unsaved: Save never writes generated names over the file that was open.
    QVERIFY(s.doc.currentFile().isEmpty());
    QVERIFY(s.doc.configChanged());
    QCOMPARE(s.window.windowTitle(), QStringLiteral("helmWISE - New Configuration*"));
    QVERIFY(QFile::exists(file));
    QCOMPARE(s.sim().counters().blocksServed, 64);
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

void TestExchangeWindows::downloadEndsWithoutTouchingEditor_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("told");
    QTest::newRow("cancel") << QStringLiteral("cancel") << QStringLiteral("cancelled");
    QTest::newRow("line lost") << QStringLiteral("hangup")
                               << QStringLiteral("The line to the Programming Module was lost");
}

void TestExchangeWindows::downloadEndsWithoutTouchingEditor()
{
    QFETCH(QString, ending);
    QFETCH(QString, told);
    ExchangeSession s(smallShip(), cabinetImage(otherShip()));
    if (ending == QLatin1String("hangup"))
        s.sim().setFaults(SimFaults{.hangupAfter = 12});
    const Configuration before = s.doc.config;
    const QString title = s.window.windowTitle();

    // At the line's own pace there is time to press Cancel halfway.
    s.exchange().simulatedLine()->setBaudRate(57600);
    s.action("mnuConfigGet")->trigger();
    QPointer<QDialog> window = s.openWindow<QDialog>("frmGetConfig");
    QVERIFY(window);
    if (ending == QLatin1String("cancel")) {
        auto *bar = window->findChild<QProgressBar *>(QStringLiteral("pgbStatus"));
        QTRY_VERIFY_WITH_TIMEOUT(bar->value() >= 5, 10000);
        window->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        QVERIFY(s.statusText().contains(told));
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(lastPrompt(s.prompts).contains(told), 15000);
        QVERIFY(lastPrompt(s.prompts).contains(QStringLiteral("unchanged")));
    }
    QTRY_VERIFY(!s.exchange().isBusy());
    QCOMPARE(s.doc.config, before);
    QCOMPARE(s.window.windowTitle(), title);
    QVERIFY(!s.doc.configChanged());
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

void TestExchangeWindows::oneCommandAtATime()
{
    ExchangeSession s;
    s.action("mnuConfigGet")->trigger();
    QVERIFY(s.exchange().isBusy());
    for (const char *name : {"mnuConfigGet", "mnuConfigPIN", "mnuToolsVersion", "mnuToolsReboot"})
        QVERIFY2(!s.action(name)->isEnabled(), name);
    const TerminalWindow &terminal = s.window.terminal();
    QVERIFY(!terminal.popupMenu()->findChild<QAction *>(QStringLiteral("mnuTermTdl"))->isEnabled());
    // Called directly (a shortcut, a script), a second command is still refused.
    const int asked = int(s.prompts.asked.size());
    s.window.exchangeCommands().setTiePin();
    s.window.exchangeCommands().getVersion();
    QVERIFY(!s.window.findChild<PinPasswordDialog *>());
    QCOMPARE(int(s.prompts.asked.size()), asked);
    QVERIFY(s.statusText().contains(QStringLiteral("wait")));
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 15000);
    QCOMPARE(s.sim().counters().byteReads, 0);
    QVERIFY(s.action("mnuConfigPIN")->isEnabled());

    // A dialog closed just before the next command never takes that command's replies.
    s.action("mnuConfigPIN")->trigger();
    s.window.findChild<PinPasswordDialog *>()->reject();
    s.window.exchangeCommands().getVersion();
    QTRY_VERIFY_WITH_TIMEOUT(
        lastPrompt(s.prompts).startsWith(QStringLiteral("Exchange has version 2+ firmware")),
        10000);
    QVERIFY(!s.exchange().isBusy());
}

// clang-format off
void TestExchangeWindows::pinDialog_data()
{
    QTest::addColumn<QByteArray>("held");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("refusal");
    QTest::addColumn<QByteArray>("stored");
    QTest::addColumn<QString>("read"); // the dialog's status once the PIN is read
    QTest::addColumn<QString>("told"); // the main window's status once it is set
    const QByteArray pin1230("\x01\x02\x03\x0A", 4);
    const QString enter = QStringLiteral("Enter Value");
    QTest::newRow("new PIN") << pin1230 << "1230" << "4507" << QString()
                             << QByteArray("\x04\x05\x0A\x07", 4) << enter
                             << "Tie PIN set: the exchange holds 4507.";
    QTest::newRow("removed") << pin1230 << "1230" << "" << QString() << QByteArray(4, '\xFF')
                             << enter << "Tie PIN removed: the exchange holds no PIN.";
    QTest::newRow("pasted letters") << pin1230 << "1230" << "12ab" << "12ab must only contain digits"
                                    << pin1230 << enter << QString();
    QTest::newRow("none after a configuration without one")
        << QByteArray(4, '\0') << "" << "2345" << QString() << QByteArray("\x02\x03\x04\x05")
        << "No PIN set. Enter Value" << "Tie PIN set: the exchange holds 2345.";
}
// clang-format on

void TestExchangeWindows::pinDialog()
{
    QFETCH(QByteArray, held);
    QFETCH(QString, shown);
    QFETCH(QString, typed);
    QFETCH(QString, refusal);
    QFETCH(QByteArray, stored);
    QFETCH(QString, read);
    QFETCH(QString, told);
    ExchangeSession s;
    s.sim().setBytes(ExchangeSimulator::PinAddress, held);
    s.action("mnuConfigPIN")->trigger();
    auto *dialog = s.window.findChild<PinPasswordDialog *>();
    QVERIFY(dialog);
    QCOMPARE(dialog->windowTitle(), QStringLiteral("Enter New PIN"));
    auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("txtValue"));
    QTRY_VERIFY_WITH_TIMEOUT(box->isEnabled(), 10000);
    QCOMPARE(box->text(), shown);
    QCOMPARE(dialog->statusText(), read);

    // Typed over the value as a paste would put it.
    box->selectAll();
    if (typed.isEmpty()) {
        QTest::keyClick(box, Qt::Key_Delete);
    } else {
        QApplication::clipboard()->setText(typed);
        box->paste();
    }
    QCOMPARE(box->text(), typed);
    dialog->findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
    if (!refusal.isEmpty()) {
        QCOMPARE(lastPrompt(s.prompts), refusal);
        QVERIFY(dialog->isVisible());
        QVERIFY(!s.exchange().isBusy());
    } else {
        QCOMPARE(dialog->statusText(), QStringLiteral("Sending new PIN"));
        QTRY_VERIFY_WITH_TIMEOUT(!s.window.findChild<PinPasswordDialog *>(), 10000);
        QCOMPARE(s.statusText(), told);
        // The next command starts with the status field empty.
        s.action("mnuConfigPIN")->trigger();
        QCOMPARE(s.statusText(), QString());
        s.window.findChild<PinPasswordDialog *>()->reject();
    }
    QCOMPARE(s.sim().bytes(ExchangeSimulator::PinAddress, ExchangeSimulator::PinLength), stored);
}

void TestExchangeWindows::passwordTyping()
{
    ExchangeSession s;
    s.action("mnuConfigPass")->trigger();
    auto *dialog = s.window.findChild<PinPasswordDialog *>();
    auto *box = dialog->findChild<QLineEdit *>(QStringLiteral("txtValue"));
    QTRY_VERIFY_WITH_TIMEOUT(box->isEnabled(), 10000);
    QCOMPARE(box->text(), QString::fromLatin1(s.sim().bytes(ExchangeSimulator::PasswordAddress,
                                                            ExchangeSimulator::PasswordLength)));
    box->clear();
    QTest::keyClicks(box, QStringLiteral("sqhQip"));
    QCOMPARE(box->text(), QStringLiteral("SHIP"));
    auto *ok = dialog->findChild<QPushButton *>(QStringLiteral("OKButton"));
    QVERIFY(ok->isEnabled());
    ok->click();
    QTRY_VERIFY_WITH_TIMEOUT(!s.window.findChild<PinPasswordDialog *>(), 10000);
    QCOMPARE(s.sim().bytes(ExchangeSimulator::PasswordAddress, ExchangeSimulator::PasswordLength),
             QByteArray("SHIP"));
    QCOMPARE(s.statusText(), QStringLiteral("Password set."));
}

void TestExchangeWindows::clockDialog_data()
{
    QTest::addColumn<QString>("time");
    QTest::addColumn<QString>("date");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("set") << "08:05:00" << "01/02/03" << true;
    QTest::newRow("no such day") << "08:05:00" << "30/02/03" << false;
}

void TestExchangeWindows::clockDialog()
{
    QFETCH(QString, time);
    QFETCH(QString, date);
    QFETCH(bool, accepted);
    ExchangeSession s;
    const QDateTime held(QDate(2026, 12, 6), QTime(12, 30, 45));
    s.sim().setClockRunning(false);
    s.sim().setClock(held);
    s.action("mnuConfigSetDate")->trigger();
    auto *dialog = s.window.findChild<ClockDialog *>();
    QVERIFY(dialog);
    auto *txtTime = dialog->findChild<QLineEdit *>(QStringLiteral("txtTime"));
    auto *txtDate = dialog->findChild<QLineEdit *>(QStringLiteral("txtDate"));
    QTRY_VERIFY_WITH_TIMEOUT(txtTime->isEnabled(), 10000);
    QCOMPARE(txtTime->text() + u' ' + txtDate->text(), QStringLiteral("12:30:45 06/12/26"));

    txtTime->setText(time);
    txtDate->setText(date);
    dialog->findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
    if (!accepted) {
        QVERIFY(lastPrompt(s.prompts).contains(QStringLiteral("is not a time and date")));
        QVERIFY(dialog->isVisible());
        QCOMPARE(s.sim().clock(), held);
        return;
    }
    QTRY_VERIFY_WITH_TIMEOUT(!s.window.findChild<ClockDialog *>(), 10000);
    QCOMPARE(s.sim().clock(), QDateTime(QDate(2003, 2, 1), QTime(8, 5, 0)));
    QCOMPARE(s.statusText(), QStringLiteral("Clock set to 08:05:00 01/02/03."));
}

void TestExchangeWindows::commandsAndTheirQuestions_data()
{
    QTest::addColumn<QString>("command");  // a menu item, or "close" while a download runs
    QTest::addColumn<int>("answer");       // to the question; 0: Enter, the default button
    QTest::addColumn<QString>("question"); // asked with No as the default
    QTest::addColumn<QString>("told");     // the last message
    QTest::addColumn<QString>("status");   // the status field once the command has ended
    QTest::addColumn<int>("reboots");
    QTest::addColumn<bool>("untouched"); // nothing was sent to the exchange
    const QString reboot = QStringLiteral("Are you sure you want to reboot the tidelex?");
    QTest::newRow("version 1")
        << "mnuToolsVersion" << 0 << QString()
        << "Exchange has version 1 firmware. Needs to be updated to Version 2.23\n"
           "Firmware version 1 (version byte 0x31)."
        << QString() << 0 << false;
    QTest::newRow("reboot, Enter")
        << "mnuToolsReboot" << 0 << reboot << reboot << QString() << 0 << true;
    QTest::newRow("reboot, yes") << "mnuToolsReboot" << int(QMessageBox::Yes) << reboot << reboot
                                 << "The exchange has been told to reboot." << 1 << false;
    const QString restore = QStringLiteral("Send the backup MV Test-20261206-101500.bin to the "
                                           "exchange?\nIt replaces the configuration the exchange "
                                           "holds now.");
    QTest::newRow("restore a backup, Enter")
        << "mnuFileRestore" << 0 << restore << restore << QString() << 0 << true;
    const QString close = QStringLiteral("A transfer with the exchange is still running; closing "
                                         "stops it.\nClose anyway?");
    QTest::newRow("close during a download, Enter")
        << "close" << 0 << close << close << "Configuration read from the exchange." << 0 << false;
}

void TestExchangeWindows::commandsAndTheirQuestions()
{
    QFETCH(QString, command);
    QFETCH(int, answer);
    QFETCH(QString, question);
    QFETCH(QString, told);
    QFETCH(QString, status);
    QFETCH(int, reboots);
    QFETCH(bool, untouched);
    ExchangeSession s;
    s.sim().setFirmware(0x31);
    s.window.findChild<QLabel *>(QStringLiteral("Status"))->clear();
    const QByteArray held = s.sim().configImage();
    if (answer)
        s.prompts.buttons.enqueue(QMessageBox::StandardButton(answer));
    const QString backup = s.dir.filePath(QStringLiteral("MV Test-20261206-101500.bin"));
    QFile file(backup);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(cabinetImage(otherShip()));
    file.close();
    s.prompts.files.enqueue(backup);
    if (command == QLatin1String("close")) {
        s.action("mnuConfigGet")->trigger();
        s.window.close();
    } else {
        s.action(qPrintable(command))->trigger();
    }
    if (!question.isEmpty()) {
        const auto asked = std::find_if(s.prompts.asked.cbegin(), s.prompts.asked.cend(),
                                        [&](const Prompt &p) { return p.text == question; });
        QVERIFY(asked != s.prompts.asked.cend());
        QCOMPARE(asked->defaultButton, QMessageBox::No);
    }
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 15000);
    QTRY_COMPARE(lastPrompt(s.prompts), told);
    QTRY_COMPARE_WITH_TIMEOUT(s.sim().counters().reboots, reboots, 5000);
    QCOMPARE(s.statusText(), status);
    QCOMPARE(s.sim().counters().commands == 0, untouched);
    QCOMPARE(s.sim().configImage(), held);
    QVERIFY(s.window.isVisible());
}

void TestExchangeWindows::terminalColoursAndTrim()
{
    ExchangeSession s;
    TerminalWindow &terminal = s.window.terminal();
    QVERIFY(!terminal.isVisible());
    terminal.append({{TraceColour::Blue, QStringLiteral("D")},
                     {TraceColour::Plain, QStringLiteral("<b>00\r\n")},
                     {TraceColour::Red, QStringLiteral("<ACK>")},
                     {TraceColour::Green, QStringLiteral("~")}});
    // Received text is shown as it came, never read as markup; CR starts a line.
    QCOMPARE(terminal.text(), QStringLiteral("D<b>00\n<ACK>~"));
    const auto *term = terminal.findChild<QPlainTextEdit *>(QStringLiteral("Term"));
    const int before = term->document()->characterCount();
    terminal.append({{TraceColour::Plain, QString(TerminalWindow::TrimThreshold - before, u'x')}});
    const int full = term->document()->characterCount();
    QVERIFY(full >= TerminalWindow::TrimThreshold);
    terminal.append({{TraceColour::Plain, QStringLiteral("yz")}});
    QCOMPARE(term->document()->characterCount(), full - TerminalWindow::TrimCharacters + 2);
    QVERIFY(terminal.text().endsWith(QStringLiteral("xyz")));
}

void TestExchangeWindows::terminalShowsTrafficAndSendsKeys()
{
    ExchangeSession s;
    TerminalWindow &terminal = s.window.terminal();
    s.action("mnuToolsTerm")->trigger();
    QVERIFY(terminal.isVisible());
    auto *term = terminal.findChild<QPlainTextEdit *>(QStringLiteral("Term"));

    // Show All Messages off: nothing is traced, not even replies.
    s.window.exchangeCommands().getVersion();
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 10000);
    QCOMPARE(terminal.text(), QString());

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

    // A typed key goes to the exchange; this one does not echo it, so it is shown here.
    const QString shown = terminal.text() + u'a';
    const int stray = s.sim().counters().strayBytes;
    QTest::keyClick(term, Qt::Key_A);
    QTRY_COMPARE(s.sim().counters().strayBytes, stray + 1);
    QCOMPARE(terminal.text(), shown);

    // While a command runs, typing is refused.
    s.window.exchangeCommands().getVersion();
    QVERIFY(s.exchange().isBusy());
    QTest::keyClick(term, Qt::Key_B);
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 10000);
    QCOMPARE(s.sim().counters().strayBytes, stray + 1);

    // Its close box hides it; it comes back as it was.
    terminal.close();
    QVERIFY(!terminal.isVisible());
    s.action("mnuToolsTerm")->trigger();
    QVERIFY(terminal.text().startsWith(shown.left(10)));
    // The editor then goes with the terminal open and active: closing the
    // terminal moves the focus while the editor's views are already gone.
    terminal.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&terminal));
}

using TerminalSteps = std::function<void(TerminalWindow &, QPlainTextEdit *)>;

void TestExchangeWindows::terminalAtFirstSight_data()
{
    QTest::addColumn<TerminalSteps>("steps");
    QTest::addColumn<QString>("shown");
    // What the simulated exchange sends back is put in by hand: it answers no typed key.
    const auto exchangeSays = [](TerminalWindow &terminal, const char *text) {
        terminal.append({{TraceColour::Plain, QString::fromLatin1(text)}});
    };
    QTest::newRow("keys typed show while the exchange does not echo them")
        << TerminalSteps([](TerminalWindow &, QPlainTextEdit *term) {
               QTest::keyClicks(term, QStringLiteral("ab"));
               QTest::keyClick(term, Qt::Key_Backspace);
               QTest::keyClicks(term, QStringLiteral("c"));
               QTest::keyClick(term, Qt::Key_Return);
           })
        << "ac\n";
    QTest::newRow("once the exchange echoes, only its echo shows")
        << TerminalSteps([exchangeSays](TerminalWindow &terminal, QPlainTextEdit *term) {
               QTest::keyClick(term, Qt::Key_A);
               exchangeSays(terminal, "a");
               QTest::keyClick(term, Qt::Key_B);
               exchangeSays(terminal, "b");
           })
        << "aab";
    QTest::newRow("an answer that is no echo keeps the typing shown")
        << TerminalSteps([exchangeSays](TerminalWindow &terminal, QPlainTextEdit *term) {
               QTest::keyClick(term, Qt::Key_1);
               exchangeSays(terminal, "MENU\r\n");
               QTest::keyClick(term, Qt::Key_2);
           })
        << "1MENU\n2";
    QTest::newRow("Clear on the toolbar empties it")
        << TerminalSteps([exchangeSays](TerminalWindow &terminal, QPlainTextEdit *) {
               exchangeSays(terminal, "<ACK>");
               auto *bar = terminal.findChild<QToolBar *>(QStringLiteral("tbTerm"));
               auto *clear = terminal.findChild<QAction *>(QStringLiteral("mnuTermClear"));
               qobject_cast<QToolButton *>(bar->widgetForAction(clear))->click();
           })
        << "";
}

// The terminal as a technician meets it: the right-click menu's commands
// on a toolbar, a hint while nothing has come, and the keys typed in sight.
void TestExchangeWindows::terminalAtFirstSight()
{
    QFETCH(TerminalSteps, steps);
    QFETCH(QString, shown);
    ExchangeSession s;
    TerminalWindow &terminal = s.window.terminal();
    s.action("mnuToolsTerm")->trigger();
    auto *term = terminal.findChild<QPlainTextEdit *>(QStringLiteral("Term"));
    QVERIFY(!term->placeholderText().isEmpty());
    auto *bar = terminal.findChild<QToolBar *>(QStringLiteral("tbTerm"));
    QVERIFY(bar);
    QStringList menu, toolbar;
    for (QAction *item : terminal.popupMenu()->actions()) {
        if (!item->isSeparator())
            menu << item->text();
    }
    for (QAction *item : bar->actions()) {
        if (!item->isSeparator())
            toolbar << item->text();
    }
    QCOMPARE(toolbar, menu);

    steps(terminal, term);
    QCOMPARE(terminal.text(), shown);
}

QTEST_MAIN(TestExchangeWindows)
#include "tst_exchangewindows.moc"
