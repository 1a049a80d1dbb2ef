// The editor never loses work, never falls over and says what it did:
// start-up with every kind of unreadable file (the message answered late),
// a new system that is closed unsaved, the save question, an open that fails
// over a file in use, the confirmations of what was written, and the real
// dialogs behind the questions (a name typed, a filter picked, Enter).
#include "AppSettings.h"
#include "ConfigDocument.h"
#include "ConfigFile.h"
#include "FailOnQtWarnings.h"
#include "GuiFixtures.h"
#include "NavTree.h"
#include "Prompter.h"
#include "ScriptedPrompter.h"
#include "StartUp.h"
#include "TempDir.h"
#include "MainWindow.h"
#include "NewSystemDialog.h"
#include "SplashScreen.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <memory>

using namespace tidelex;
using fixtures::statusText;

namespace
{

bool splashShown()
{
    const QWidgetList windows = QApplication::topLevelWidgets();
    return std::any_of(windows.begin(), windows.end(), [](QWidget *w) {
        return qobject_cast<SplashScreen *>(w) && w->isVisible();
    });
}

enum Edit { Unedited, Edited, StillTyping };

} // namespace

class TestKeepWork : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void cleanup();
    void startUpWithUnreadableFile_data();
    void startUpWithUnreadableFile();
    void splashGivesWayToDialogs_data();
    void splashGivesWayToDialogs();
    void newSystemIsUnsavedWork_data();
    void newSystemIsUnsavedWork();
    void askToSave_data();
    void askToSave();
    void failedOpenKeepsTheFile_data();
    void failedOpenKeepsTheFile();
    void confirmations_data();
    void confirmations();
    void saveNameGetsFilterSuffix_data();
    void saveNameGetsFilterSuffix();
    void enterPressesTheDefaultButton_data();
    void enterPressesTheDefaultButton();

  private:
    std::unique_ptr<fixtures::Scratch> scratch_;
    Configuration template_;
    int newSystemResult_ = QDialog::Rejected;
};

void TestKeepWork::initTestCase()
{
    template_ = makeDefaultConfiguration();
    template_.SysConfig.Name = QStringLiteral("Template ship");
    // The dialog answered as the technician would: OK with its proposals, or Cancel.
    FileCommands::setNewSystemRunner([this](NewSystemDialog &dialog) {
        if (newSystemResult_ == QDialog::Accepted)
            dialog.findChild<QPushButton *>(QStringLiteral("OKButton"))->click();
        return dialog.result() == QDialog::Accepted ? int(QDialog::Accepted) : newSystemResult_;
    });
}

void TestKeepWork::init()
{
    failOnQtWarnings();
    scratch_ = std::make_unique<fixtures::Scratch>();
    FileCommands::setTemplateFile(
        scratch_->write(QStringLiteral("default.TWZ"), configFileBytes(template_, QStringLiteral("x"))));
    newSystemResult_ = QDialog::Rejected;
}

void TestKeepWork::cleanup()
{
    scratch_.reset();
}

// clang-format off
void TestKeepWork::startUpWithUnreadableFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content"); // empty: no such file
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("reason");     // in the message's detail

    const QByteArray ship = configFileBytes(fixtures::smallShip(), QStringLiteral("x"));
    const QString errorInFile = QStringLiteral("Unable to load file as error in file");
    QTest::newRow("cut off mid-file")
        << "trunc.TWZ" << ship.left(30000) << errorInFile << "Premature end of document";
    QTest::newRow("version 9.9")
        << "v99.TWZ" << QByteArray(ship).replace("<VERSION>3.0<", "<VERSION>9.9<")
        << "Unable to load file as unknown Tidelex for Windows version" << QString();
    QTest::newRow("garbage DOS file")
        << "junk.TDZ" << QByteArray(600, '\x7f') << "Unable to open TDZ File as unknown type/ version"
        << QString();
    QTest::newRow("plain text") << "notes.txt" << QByteArray("just notes\r\n") << errorInFile
                                << "not a configuration file";
    QTest::newRow("missing") << "none.TWZ" << QByteArray() << errorInFile << "no such file";
    QTest::newRow("far too large")
        << "huge.TWZ" << ship + QByteArray(9 * 1024 * 1024, ' ') << errorInFile << "at most 8.0 MB";
}
// clang-format on

void TestKeepWork::startUpWithUnreadableFile()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(QString, message);
    QFETCH(QString, reason);
    const QString path = content.isEmpty() ? scratch_->path(name) : scratch_->write(name, content);
    // The technician reads the message for a while: the splash times out,
    // closes and is gone before the box is answered.
    scratch_->prompter.whileShown = [&](const Prompt &) {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (qobject_cast<SplashScreen *>(w))
                w->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    };

    ConfigDocument doc;
    MainWindow window(doc);
    startUp(window, QLatin1Char('"') + path + QLatin1Char('"'));

    QCOMPARE(scratch_->prompter.texts(), QStringList{message});
    const QString detail = scratch_->prompter.asked.first().detail;
    QVERIFY2(detail.contains(QDir::toNativeSeparators(path)), qPrintable(detail));
    QVERIFY2(detail.contains(reason), qPrintable(detail));
    QVERIFY(!splashShown());
    // Then on as documented: a new configuration from the template.
    QCOMPARE(window.windowTitle(), QStringLiteral("helmWISE - New Configuration"));
    QCOMPARE(doc.config.SysConfig.Name, template_.SysConfig.Name);
    QVERIFY(!doc.configChanged());
    window.close();
}

// clang-format off
void TestKeepWork::splashGivesWayToDialogs_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("splashStays");
    QTest::newRow("message box") << "message" << false;
    QTest::newRow("the main window") << "window" << true;
}
// clang-format on

void TestKeepWork::splashGivesWayToDialogs()
{
    QFETCH(QString, kind);
    QFETCH(bool, splashStays);
    SplashScreen splash;
    splash.show();
    std::unique_ptr<QWidget> other;
    if (kind == QLatin1String("message")) {
        other = std::make_unique<QMessageBox>(QMessageBox::NoIcon, QStringLiteral("helmWISE"),
                                              QStringLiteral("Unable to load file as error in file"));
    } else {
        other = std::make_unique<QMainWindow>();
    }
    other->show();
    QCOMPARE(splash.isVisible(), splashStays);
    other->close();
}

// clang-format off
void TestKeepWork::newSystemIsUnsavedWork_data()
{
    QTest::addColumn<bool>("fromStartUp");   // no template: the dialog opens at start-up
    QTest::addColumn<int>("dialogResult");
    QTest::addColumn<bool>("unsaved");
    QTest::newRow("File New, system made") << false << int(QDialog::Accepted) << true;
    QTest::newRow("File New, cancelled") << false << int(QDialog::Rejected) << false;
    QTest::newRow("start-up without template, system made") << true << int(QDialog::Accepted) << true;
    QTest::newRow("start-up without template, cancelled") << true << int(QDialog::Rejected) << false;
}
// clang-format on

void TestKeepWork::newSystemIsUnsavedWork()
{
    QFETCH(bool, fromStartUp);
    QFETCH(int, dialogResult);
    QFETCH(bool, unsaved);
    const QString ship = scratch_->write(QStringLiteral("ship.TWZ"),
                               configFileBytes(fixtures::smallShip(), QStringLiteral("x")));
    if (fromStartUp)
        FileCommands::setTemplateFile(scratch_->path(QStringLiteral("absent.TWZ")));
    newSystemResult_ = dialogResult;
    ConfigDocument doc;
    MainWindow window(doc);
    window.loadStep(fromStartUp ? QString() : ship);
    window.show();
    if (!fromStartUp)
        window.findChild<QAction *>(QStringLiteral("mnuFileNew"))->trigger();

    QCOMPARE(doc.configChanged(), unsaved);
    QCOMPARE(window.windowTitle().endsWith(QLatin1Char('*')), unsaved);
    if (unsaved) {
        QCOMPARE(window.windowTitle(), QStringLiteral("helmWISE - New Configuration*"));
        QVERIFY2(statusText(window).isEmpty(), qPrintable(statusText(window)));
    }
    // Closing asks about the new system; Cancel keeps it on screen.
    scratch_->prompter.buttons.enqueue(QMessageBox::Cancel);
    window.close();
    QCOMPARE(window.isVisible(), unsaved);
    QCOMPARE(scratch_->prompter.texts(), unsaved ? QStringList{QStringLiteral("Do you wish to save the file")}
                                         : QStringList());
    doc.setConfigChanged(false);
}

// The question itself, without the window: what it decides before a
// command may replace or close the configuration.
void TestKeepWork::askToSave_data()
{
    QTest::addColumn<int>("edit");
    QTest::addColumn<QString>("file"); // the configuration's file; empty: never saved
    QTest::addColumn<int>("answer");   // to the save question
    QTest::addColumn<bool>("goesOn");  // the command asking may go on
    QTest::addColumn<bool>("saved");
    const QString ship = QStringLiteral("ship.TWZ");
    QTest::newRow("unchanged: nothing asked")
        << int(Unedited) << ship << int(QMessageBox::Cancel) << true << false;
    QTest::newRow("a field still being typed is a change")
        << int(StillTyping) << ship << int(QMessageBox::Cancel) << false << false;
    QTest::newRow("No: goes on unsaved")
        << int(Edited) << ship << int(QMessageBox::No) << true << false;
    QTest::newRow("Cancel: stops")
        << int(Edited) << ship << int(QMessageBox::Cancel) << false << false;
    QTest::newRow("Yes: saved, goes on")
        << int(Edited) << ship << int(QMessageBox::Yes) << true << true;
    QTest::newRow("Yes, Save As cancelled: stops")
        << int(Edited) << QString() << int(QMessageBox::Yes) << false << false;
    QTest::newRow("Yes, the save fails: stops") << int(Edited) << QStringLiteral("gone/ship.TWZ")
                                                << int(QMessageBox::Yes) << false << false;
}

void TestKeepWork::askToSave()
{
    QFETCH(int, edit);
    QFETCH(QString, file);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    ScriptedPrompter &prompter = scratch_->prompter;
    ConfigDocument doc;
    doc.config = fixtures::smallShip();
    const QString path = file.isEmpty() ? QString() : scratch_->path(file);
    doc.setCurrentFile(path);
    doc.setConfigChanged(false);
    auto change = [&doc] {
        doc.config.SysConfig.Name = QStringLiteral("Changed");
        doc.markChanged();
    };
    if (edit == Edited)
        change();
    FileCommands files(doc, nullptr);
    // The window commits the field being typed when asked to.
    connect(&files, &FileCommands::commitRequested, this, [&] {
        if (edit == StillTyping)
            change();
    });
    prompter.buttons.enqueue(QMessageBox::StandardButton(answer));
    QCOMPARE(files.askToSave(QStringLiteral("Do you wish to save the file")), goesOn);
    QCOMPARE(prompter.asked.isEmpty(), edit == Unedited);
    QCOMPARE(!path.isEmpty() && QFile::exists(path), saved);
    QCOMPARE(doc.configChanged(), edit != Unedited && !saved);
}

// clang-format off
void TestKeepWork::failedOpenKeepsTheFile_data()
{
    QTest::addColumn<QString>("command");     // how the bad file is opened
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("content");  // empty: no such file
    QTest::addColumn<bool>("edited");         // unsaved changes, kept by answering No
    const QByteArray ship = configFileBytes(fixtures::smallShip(), QStringLiteral("x"));
    QTest::newRow("File Open, cut-off file") << "mnuFileOpen" << "trunc.TWZ" << ship.left(30000) << false;
    QTest::newRow("File Open, garbage DOS file, unsaved edit")
        << "mnuFileOpen" << "junk.TDZ" << QByteArray(600, '\x7f') << true;
    QTest::newRow("recent file gone") << "mnuFileMRU2" << "gone.TWZ" << QByteArray() << false;
    QTest::newRow("recent file gone, unsaved edit") << "mnuFileMRU2" << "gone.TWZ" << QByteArray() << true;
}
// clang-format on

void TestKeepWork::failedOpenKeepsTheFile()
{
    QFETCH(QString, command);
    QFETCH(QString, name);
    QFETCH(QByteArray, content);
    QFETCH(bool, edited);
    const QString bad = scratch_->path(name);
    // The bad file has been opened before, so it is on the recent list.
    QVERIFY(writeFileBytes(bad, configFileBytes(template_, QStringLiteral("x"))));
    const QString ship = scratch_->write(QStringLiteral("ship.TWZ"),
                               configFileBytes(fixtures::smallShip(), QStringLiteral("x")));
    ConfigDocument doc;
    MainWindow window(doc);
    window.loadStep(bad);
    window.fileCommands().loadFile(ship);
    window.show();
    if (content.isEmpty())
        QVERIFY(QFile::remove(bad));
    else
        QVERIFY(writeFileBytes(bad, content));
    if (edited) {
        doc.config.SysConfig.Name = QStringLiteral("Renamed at sea");
        doc.markChanged();
    }
    const Configuration before = doc.config;
    const QString title = window.windowTitle();
    const QString status = statusText(window);

    scratch_->prompter.buttons.enqueue(QMessageBox::No); // to the save question, if any
    scratch_->prompter.files.enqueue(bad);
    window.findChild<QAction *>(command)->trigger();

    QVERIFY(!scratch_->prompter.asked.isEmpty());
    QVERIFY2(scratch_->prompter.asked.last().detail.contains(QDir::toNativeSeparators(bad)),
             qPrintable(scratch_->prompter.asked.last().detail));
    QVERIFY2(doc.config == before, "the failed open changed the configuration in use");
    QCOMPARE(doc.currentFile(), ship);
    QCOMPARE(doc.configChanged(), edited);
    QCOMPARE(window.windowTitle(), title);
    QCOMPARE(statusText(window), status);
    doc.setConfigChanged(false);
}

// clang-format off
void TestKeepWork::confirmations_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QString>("chosen");  // the name given to the file dialog, in the folder
    QTest::addColumn<QString>("status");  // %1 the ship, %2 the chosen file, %3 the folder
    QTest::addColumn<QString>("detail");  // of the question asked, if any
    QTest::newRow("Save") << "mnuFileSave" << QString() << "Saved %1" << QString();
    QTest::newRow("Save As") << "mnuFileSaveAs" << "other.TWZ" << "Saved %2" << QString();
    QTest::newRow("Export") << "mnuFileExport" << "lists.CSV" << "Exported 3 files to %3" << QString();
    QTest::newRow("Save Report") << "mnuFileSaveReport" << "ship.pdf" << "Saved %2" << QString();
    QTest::newRow("closing with changes names the file")
        << "mnuFileExit" << QString() << QString() << "%1";
}
// clang-format on

void TestKeepWork::confirmations()
{
    QFETCH(QString, command);
    QFETCH(QString, chosen);
    QFETCH(QString, status);
    QFETCH(QString, detail);
    const QString ship = scratch_->write(QStringLiteral("ship.TWZ"),
                               configFileBytes(fixtures::smallShip(), QStringLiteral("x")));
    const QString file = chosen.isEmpty() ? QString() : scratch_->path(chosen);
    auto fill = [&](QString text) {
        return text.replace(QStringLiteral("%1"), QDir::toNativeSeparators(ship))
            .replace(QStringLiteral("%2"), QDir::toNativeSeparators(file))
            .replace(QStringLiteral("%3"), QDir::toNativeSeparators(scratch_->dir.path()));
    };
    ConfigDocument doc;
    MainWindow window(doc);
    window.loadStep(ship);
    window.show();
    doc.config.SysConfig.Name = QStringLiteral("Renamed at sea");
    doc.markChanged();
    auto *tree = window.findChild<NavTree *>(QStringLiteral("trvTables"));
    tree->setCurrentItem(tree->findNode(QStringLiteral("P321")));
    scratch_->prompter.files.enqueue(file);
    scratch_->prompter.buttons.enqueue(QMessageBox::Cancel); // to the question on closing

    window.findChild<QAction *>(command)->trigger();

    if (!status.isEmpty())
        QCOMPARE(statusText(window), fill(status));
    // A file saved under a new name heads the recent files, in the settings and the menu.
    if (command == QLatin1String("mnuFileSaveAs")) {
        QCOMPARE(AppSettings::recentFiles().value(0), file);
        QCOMPARE(window.findChild<QAction *>(QStringLiteral("mnuFileMRU1"))->text(),
                 QStringLiteral("&1 ") + QDir::toNativeSeparators(file));
    }
    if (!detail.isEmpty()) {
        QCOMPARE(scratch_->prompter.asked.last().kind, Prompt::Question);
        QCOMPARE(scratch_->prompter.asked.last().detail, fill(detail));
    }
    doc.setConfigChanged(false);
}

// clang-format off
void TestKeepWork::saveNameGetsFilterSuffix_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<int>("chosenFilter");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("expected");
    const QString twz = QStringLiteral("Windows Tidelex Files (*.TWZ *.twz);;All Files (*)");
    const QString lists = QStringLiteral("Comma Separated File (*.CSV);;Tab Separated File (*.TAB)");
    QTest::newRow("Save As, no suffix typed") << twz << 0 << "ship2" << "ship2.TWZ";
    QTest::newRow("Save As, suffix typed") << twz << 0 << "ship2.twz" << "ship2.twz";
    QTest::newRow("Save As, all files") << twz << 1 << "ship2" << "ship2";
    QTest::newRow("Export, comma separated") << lists << 0 << "lists" << "lists.CSV";
    QTest::newRow("Export, tab separated picked") << lists << 1 << "lists" << "lists.TAB";
}
// clang-format on

void TestKeepWork::saveNameGetsFilterSuffix()
{
    QFETCH(QString, filter);
    QFETCH(int, chosenFilter);
    QFETCH(QString, typed);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    Prompt prompt;
    prompt.kind = Prompt::SaveFile;
    prompt.title = QStringLiteral("Save As");
    prompt.filter = filter;
    prompt.proposedName = dir.filePath(QStringLiteral("ship.TWZ"));
    // Answered from inside the dialog's own event loop, as soon as it runs.
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        auto *types = dialog->findChild<QComboBox *>(QStringLiteral("fileTypeCombo"));
        // Picked with the keyboard, as a technician without a mouse would.
        for (int i = 0; types && i < chosenFilter; ++i)
            QTest::keyClick(types, Qt::Key_Down);
        auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
        if (name)
            name->setText(typed);
        answered = types && name;
        QMetaObject::invokeMethod(dialog, "accept");
    });
    DialogPrompter real;
    const QString chosen = real.chooseFile(nullptr, prompt);
    QVERIFY2(answered, "the save dialog was not the one expected");
    QCOMPARE(QFileInfo(chosen).fileName(), expected);
}

void TestKeepWork::enterPressesTheDefaultButton_data()
{
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("answer");
    QTest::newRow("left to the box") << int(QMessageBox::NoButton) << int(QMessageBox::Yes);
    QTest::newRow("No by default") << int(QMessageBox::No) << int(QMessageBox::No);
}

void TestKeepWork::enterPressesTheDefaultButton()
{
    QFETCH(int, defaultButton);
    QFETCH(int, answer);
    Prompt prompt;
    prompt.kind = Prompt::Question;
    prompt.text = QStringLiteral("Are you sure you want to reboot the tidelex?");
    prompt.buttons = QMessageBox::Yes | QMessageBox::No;
    prompt.defaultButton = QMessageBox::StandardButton(defaultButton);
    bool shown = false;
    QTimer::singleShot(0, this, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        shown = box != nullptr;
        if (box)
            QTest::keyClick(box, Qt::Key_Return);
    });
    DialogPrompter real;
    const int chosen = real.ask(nullptr, prompt);
    QVERIFY2(shown, "no question on screen");
    QCOMPARE(chosen, answer);
}

QTEST_MAIN(TestKeepWork)
#include "tst_keepwork.moc"
