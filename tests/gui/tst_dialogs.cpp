// The real dialogs behind the Prompter, driven the way a technician does:
// a name typed into the save dialog, a filter picked.
#include "FailOnQtWarnings.h"
#include "Prompter.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
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

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
