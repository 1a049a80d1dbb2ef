// The New System dialog: the lists, the board plan and its refusal, the
// officer box, OK running the generator, Cancel and "Open...".
#include "Configuration.h"
#include "FailOnQtWarnings.h"
#include "NewSystem.h"
#include "PaneSupport.h"
#include "ScriptedPrompter.h"
#include "NewSystemDialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace tidelex;

namespace
{

template <typename T> T *child(QWidget &w, const QString &name)
{
    T *c = w.findChild<T *>(name);
    if (!c)
        qFatal("no control %s", qPrintable(name));
    return c;
}

void choose(NewSystemDialog &dlg, const char *combo, int value)
{
    auto *c = child<QComboBox>(dlg, QLatin1String(combo));
    const int at = c->findData(value);
    QVERIFY2(at >= 0, combo);
    c->setCurrentIndex(at);
}

// Picks the number of extensions and of each kind of line.
void chooseCounts(NewSystemDialog &dlg, int extensions, int shore, int satcom, int pa, int pager)
{
    choose(dlg, "cboExtensions", extensions);
    choose(dlg, "cboShore", shore);
    choose(dlg, "cboSATCOM", satcom);
    choose(dlg, "cboPA", pa);
    choose(dlg, "cboPager", pager);
}

// Colours of the board plan as the cabinet legend gives them.
QColor documentedColour(int board)
{
    if (board == BoardEmpty)
        return Qt::black;
    return board == BoardSubscriber ? QColor(255, 0, 0)
           : board == BoardTieLine  ? QColor(0, 0, 255)
                                    : QColor(Qt::white);
}

QColor shapeColour(NewSystemDialog &dlg, int slot)
{
    return child<QFrame>(dlg, QStringLiteral("Shape1_%1").arg(slot))
        ->palette()
        .color(QPalette::Window);
}

// Boards for slots 2..16: `subs` Subscriber boards from slot 2 up, `ties`
// Tie Line boards from slot 16 down.
QList<int> boards(int subs, int ties)
{
    QList<int> list(LineSlotCount, BoardEmpty);
    for (int k = 0; k < subs && k < LineSlotCount; ++k)
        list[k] = BoardSubscriber;
    for (int k = 0; k < ties; ++k)
        list[LineSlotCount - 1 - k] = BoardTieLine;
    return list;
}

} // namespace

class TestNewSystem : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void boardPlan_data();
    void boardPlan();
    void okGenerates_data();
    void okGenerates();
    void officerBox_data();
    void officerBox();
    void cancelOrOpen_data();
    void cancelOrOpen();
};

void TestNewSystem::boardPlan_data()
{
    QTest::addColumn<int>("extensions");
    QTest::addColumn<int>("shore");
    QTest::addColumn<int>("satcom");
    QTest::addColumn<int>("pa");
    QTest::addColumn<int>("pager");
    QTest::addColumn<QList<int>>("plan");
    QTest::addColumn<bool>("refused");

    QTest::newRow("16 extensions, four lines") << 16 << 2 << 1 << 1 << 0 << boards(2, 1) << false;
    QTest::newRow("120 extensions and a shore line")
        << 120 << 1 << 0 << 0 << 0 << boards(15, 0) << true;
}

void TestNewSystem::boardPlan()
{
    QFETCH(int, extensions);
    QFETCH(int, shore);
    QFETCH(int, satcom);
    QFETCH(int, pa);
    QFETCH(int, pager);
    QFETCH(QList<int>, plan);
    QFETCH(bool, refused);

    ScriptedPrompter prompts;
    Configuration config = makeDefaultConfiguration();
    const Configuration before = config;
    NewSystemDialog dlg(config);
    chooseCounts(dlg, extensions, shore, satcom, pa, pager);

    for (int k = 0; k < LineSlotCount; ++k)
        QCOMPARE(shapeColour(dlg, k + FirstLineSlot), documentedColour(plan[k]));
    QCOMPARE(child<QPushButton>(dlg, QStringLiteral("OKButton"))->isEnabled(), !refused);
    QCOMPARE(prompts.asked.size(), refused ? 1 : 0);
    if (refused) {
        const Prompt &p = prompts.asked.first();
        QCOMPARE(p.title, QStringLiteral("New System Configuration"));
        QCOMPARE(p.text, QStringLiteral("This configuration not possible"));
        QCOMPARE(p.icon, QMessageBox::Warning);
    }
    QVERIFY(config == before); // planning never touches the configuration

    // A refused plan is taken back by asking for fewer lines.
    for (const char *combo : {"cboShore", "cboSATCOM", "cboPA", "cboPager"})
        choose(dlg, combo, 0);
    QVERIFY(child<QPushButton>(dlg, QStringLiteral("OKButton"))->isEnabled());
    QCOMPARE(shapeColour(dlg, 16),
             documentedColour(extensions == 120 ? BoardSubscriber : BoardEmpty));
    QCOMPARE(prompts.asked.size(), refused ? 1 : 0);
}

void TestNewSystem::okGenerates_data()
{
    QTest::addColumn<QString>("officers"); // as typed
    QTest::addColumn<int>("extensions");
    QTest::addColumn<QString>("firstName");
    QTest::addColumn<int>("shore");
    QTest::addColumn<int>("satcom");
    QTest::addColumn<int>("pa");
    QTest::addColumn<int>("pager");
    QTest::addColumn<QString>("lastName");

    QTest::newRow("8 with one officer")
        << "1" << 8 << "Officer 01" << 0 << 0 << 0 << 0 << "Crew 07";
    QTest::newRow("16 without officers") << "" << 16 << "Crew 01" << 0 << 0 << 0 << 0 << "Crew 16";
    QTest::newRow("16 with four lines") << "0" << 16 << "Crew 01" << 2 << 1 << 1 << 0 << "Crew 16";
    QTest::newRow("all but one officers")
        << "23" << 24 << "Officer 01" << 0 << 0 << 0 << 3 << "Crew 01";
}

void TestNewSystem::okGenerates()
{
    QFETCH(int, extensions);
    QFETCH(QString, officers);
    QFETCH(int, shore);
    QFETCH(int, satcom);
    QFETCH(int, pa);
    QFETCH(int, pager);
    QFETCH(QString, firstName);
    QFETCH(QString, lastName);

    ScriptedPrompter prompts;
    Configuration config = makeDefaultConfiguration();
    config.Extensions[100].Name = QStringLiteral("left over");
    NewSystemDialog dlg(config);
    chooseCounts(dlg, extensions, shore, satcom, pa, pager);
    QTest::keyClicks(child<QLineEdit>(dlg, QStringLiteral("txtOfficer")), officers);
    dlg.show();

    child<QPushButton>(dlg, QStringLiteral("OKButton"))->click();

    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QVERIFY(!dlg.isVisible());
    QCOMPARE(config.Extensions[0].Name, firstName);
    QCOMPARE(config.Extensions[extensions - 1].Name, lastName);
    QVERIFY(!config.SysConfig.LastUpdate.isEmpty());

    // Every one of the six numbers reached the generator.
    NewSystemCounts counts;
    counts.extensions = extensions;
    counts.officers = officers.toInt();
    counts.shore = shore;
    counts.satcom = satcom;
    counts.pa = pa;
    counts.pager = pager;
    Configuration direct = makeDefaultConfiguration();
    generateNewSystem(direct, counts, planBoards(counts), config.SysConfig.LastUpdate);
    QVERIFY(config == direct);
    QVERIFY(prompts.asked.isEmpty());
}

void TestNewSystem::officerBox_data()
{
    QTest::addColumn<int>("extensions");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("kept"); // only digits get into the box

    QTest::newRow("letters and signs dropped") << 16 << "-1a5" << true << "15";
    QTest::newRow("largest possible") << 120 << "119" << true << "119";
    QTest::newRow("equal to the total") << 8 << "8" << false << "8";
    QTest::newRow("more than the total") << 8 << "1 2" << false << "12";
    QTest::newRow("more than the tables hold") << 16 << "999" << false << "999";
}

void TestNewSystem::officerBox()
{
    QFETCH(int, extensions);
    QFETCH(QString, typed);
    QFETCH(bool, accepted);
    QFETCH(QString, kept);

    ScriptedPrompter prompts;
    Configuration config = makeDefaultConfiguration();
    const Configuration before = config;
    NewSystemDialog dlg(config);
    dlg.show();
    QApplication::setActiveWindow(&dlg);
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    choose(dlg, "cboExtensions", extensions);
    auto *box = child<QLineEdit>(dlg, QStringLiteral("txtOfficer"));
    box->setFocus();
    QTest::keyClicks(box, typed);
    QCOMPARE(box->text(), kept);

    // Leaving the box checks it.
    child<QComboBox>(dlg, QStringLiteral("cboShore"))->setFocus();
    QCoreApplication::processEvents();
    QCOMPARE(panes::fieldInError(box), !accepted);
    QCOMPARE(box->toolTip(), accepted
                                 ? QStringLiteral("Number of Officer class extensions required")
                                 : QStringLiteral("Must be less than the total number of "
                                                  "extensions in the system"));
    QTRY_COMPARE(QApplication::focusWidget() == box, !accepted);

    // OK checks again: a refused count never reaches the generator.
    child<QPushButton>(dlg, QStringLiteral("OKButton"))->click();
    QCOMPARE(dlg.isVisible(), !accepted);
    QCOMPARE(config == before, !accepted);
}

void TestNewSystem::cancelOrOpen_data()
{
    QTest::addColumn<bool>("openInstead");
    QTest::addColumn<QString>("file"); // name in a scratch folder; empty: none chosen
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("quoted");
    QTest::addColumn<int>("result"); // -1: the dialog stays open
    QTest::addColumn<bool>("refusal");

    const QByteArray header =
        "<?xml version=\"1.0\"?>\r\n<TidelexAnalog>\r\n<VERSION>3.0</VERSION>\r\n";
    QTest::newRow("plain Cancel") << false << QString() << QByteArray() << false
                                  << int(QDialog::Rejected) << false;
    QTest::newRow("Open..., nothing chosen")
        << true << QString() << QByteArray() << false << -1 << false;
    QTest::newRow("Open..., configuration file")
        << true << "ship.TWZ" << header << false << int(NewSystemDialog::OpenedFile) << false;
    QTest::newRow("Open..., quoted name")
        << true << "ship.TWZ" << header << true << int(NewSystemDialog::OpenedFile) << false;
    QTest::newRow("Open..., other text")
        << true << "notes.TWZ" << QByteArray("hello\r\nworld\r\n") << false << -1 << true;
    QTest::newRow("Open..., missing file")
        << true << "gone.TWZ" << QByteArray() << false << -1 << true;
}

void TestNewSystem::cancelOrOpen()
{
    QFETCH(bool, openInstead);
    QFETCH(QString, file);
    QFETCH(QByteArray, content);
    QFETCH(bool, quoted);
    QFETCH(int, result);
    QFETCH(bool, refusal);

    QTemporaryDir dir;
    QString path;
    if (!file.isEmpty()) {
        path = dir.filePath(file);
        if (!content.isEmpty()) {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(content);
        }
    }
    ScriptedPrompter prompts;
    const QString answer = quoted ? QLatin1Char('"') + path + QLatin1Char('"') : path;
    prompts.files.enqueue(answer);
    Configuration config = makeDefaultConfiguration();
    const Configuration before = config;
    NewSystemDialog dlg(config);
    dlg.setOpenInstead(openInstead);
    dlg.show();
    auto *cancel = child<QPushButton>(dlg, QStringLiteral("CancelButton"));
    QCOMPARE(cancel->text(), openInstead ? QStringLiteral("Open...") : QStringLiteral("Cancel"));

    cancel->click();

    QCOMPARE(dlg.isVisible(), result == -1);
    if (result != -1)
        QCOMPARE(dlg.result(), result);
    QVERIFY(config == before);
    const int fileDialogs = openInstead ? 1 : 0;
    QCOMPARE(prompts.asked.size(), fileDialogs + (refusal ? 1 : 0));
    if (openInstead) {
        QCOMPARE(prompts.asked.first().kind, Prompt::OpenFile);
        QCOMPARE(prompts.asked.first().title, QStringLiteral("Open"));
    }
    if (refusal) {
        QCOMPARE(prompts.asked.last().text, answer + QStringLiteral(" is not valid. Not Loading"));
        QCOMPARE(prompts.asked.last().icon, QMessageBox::NoIcon);
    }
    QCOMPARE(dlg.chosenFile(), result == NewSystemDialog::OpenedFile ? path : QString());
}

QTEST_MAIN(TestNewSystem)
#include "tst_newsystemdialog.moc"
