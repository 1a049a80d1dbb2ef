// The file commands without the window: what the save question decides
// before a command may replace or close the configuration.
#include "FailOnQtWarnings.h"
#include "GuiFixtures.h"

#include <QtTest>

class TestFileCommands : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void saveQuestion_data();
    void saveQuestion();
};

enum Edit { Unedited, Edited, StillTyping };

void TestFileCommands::saveQuestion_data()
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

void TestFileCommands::saveQuestion()
{
    QFETCH(int, edit);
    QFETCH(QString, file);
    QFETCH(int, answer);
    QFETCH(bool, goesOn);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    fixtures::useTemporarySettings(dir);
    ScriptedPrompter prompter;
    ConfigDocument doc;
    doc.config = fixtures::smallShip();
    const QString path = file.isEmpty() ? QString() : dir.filePath(file);
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

QTEST_MAIN(TestFileCommands)
#include "tst_filecommands.moc"
