// Where the editor finds the template a new configuration starts from:
// beside the program in the build folder, in the data folder once installed.
#include "FailOnQtWarnings.h"
#include "MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

class TestTemplate : public QObject
{
    Q_OBJECT

    QString beside;
    QString installed;

    static void place(const QString &path)
    {
        QVERIFY(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }

private slots:
    void init() { failOnQtWarnings(); }
    void initTestCase()
    {
        const QDir programDir(QCoreApplication::applicationDirPath());
        beside = programDir.filePath(QStringLiteral("default.TWZ"));
        installed = QDir::cleanPath(
            programDir.filePath(QStringLiteral(HELMWISE_DATA_FROM_PROGRAM "/default.TWZ")));
        QVERIFY2(beside != installed, "the data folder must not be the program's folder");
    }

    void cleanup()
    {
        QFile::remove(beside);
        QFile::remove(installed);
    }

    void installedTemplateUsedWhenNoneBesideProgram()
    {
        place(installed);
        QCOMPARE(FileCommands::templateFile(), installed);
    }

    void templateBesideProgramComesFirst()
    {
        place(installed);
        place(beside);
        QCOMPARE(FileCommands::templateFile(), beside);
    }
};

QTEST_GUILESS_MAIN(TestTemplate)
#include "tst_template.moc"
