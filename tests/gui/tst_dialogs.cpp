// The real dialogs behind the Prompter, driven the way a technician does:
// a name typed into the save dialog, a filter picked, Enter at a question.
#include "FailOnQtWarnings.h"
#include "Prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

class TestDialogs : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void saveNameGetsFilterSuffix_data();
    void saveNameGetsFilterSuffix();
    void enterPressesTheDefaultButton_data();
    void enterPressesTheDefaultButton();
};

// clang-format off
void TestDialogs::saveNameGetsFilterSuffix_data()
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

void TestDialogs::saveNameGetsFilterSuffix()
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

void TestDialogs::enterPressesTheDefaultButton_data()
{
    QTest::addColumn<int>("defaultButton");
    QTest::addColumn<int>("answer");
    QTest::newRow("left to the box") << int(QMessageBox::NoButton) << int(QMessageBox::Yes);
    QTest::newRow("No by default") << int(QMessageBox::No) << int(QMessageBox::No);
}

void TestDialogs::enterPressesTheDefaultButton()
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

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
