// Where the main window opens and what it remembers: a comfortable size on
// the first start, always whole on a screen afterwards (another monitor,
// a smaller screen, another scale factor), maximised state and splitters.
#include "AppSettings.h"
#include "ConfigDocument.h"
#include "FailOnQtWarnings.h"
#include "GuiFixtures.h"
#include "ScriptedPrompter.h"
#include "WindowPlacement.h"
#include "frmMain.h"
#include "frmNewSystem.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSplitter>
#include <QtTest>

namespace
{

QSettings settings()
{
    return QSettings(QStringLiteral("Corvane Telecom Limited"), QStringLiteral("Tidelex Analog"));
}

} // namespace

class TestPlacement : public QObject
{
    Q_OBJECT
  private slots:
    void initTestCase();
    void init();
    void placement_data();
    void placement();
    void openedOnThisScreen_data();
    void openedOnThisScreen();
    void stateRemembered();

  private:
    QTemporaryDir settingsDir_;
};

void TestPlacement::initTestCase()
{
    // Started without a file and without a template: the New System dialog
    // is answered Cancel instead of shown.
    frmMain::setTemplateFile(settingsDir_.filePath(QStringLiteral("absent.TWZ")));
    frmMain::setNewSystemRunner([](frmNewSystem &) { return int(QDialog::Rejected); });
}

void TestPlacement::init()
{
    failOnQtWarnings();
    fixtures::useTemporarySettings(settingsDir_);
}

// clang-format off
void TestPlacement::placement_data()
{
    QTest::addColumn<QRect>("saved");           // invalid: first start
    QTest::addColumn<QList<QRect>>("screens");  // available areas, primary first
    QTest::addColumn<QRect>("expected");
    const QSize minimum(200, 200);
    const QList<QRect> fullHd{QRect(0, 0, 1920, 1040)};
    const QList<QRect> small{QRect(0, 0, 1024, 740)};
    // 1920x1080 at scale factor 2 is 960x540 logical pixels.
    const QList<QRect> scaled{QRect(0, 0, 960, 510)};
    const QList<QRect> two{QRect(0, 0, 1920, 1040), QRect(1920, 0, 1280, 1000)};
    QTest::newRow("first start, large screen: the comfortable size, centred")
        << QRect() << fullHd << QRect(410, 140, 1100, 760);
    QTest::newRow("first start, 1024x768: most of the screen, centred")
        << QRect() << small << QRect(51, 37, 921, 666);
    QTest::newRow("stored on a larger screen, now 1024x768")
        << QRect(1700, 900, 1100, 760) << small << QRect(0, 0, 1024, 740);
    QTest::newRow("stored placement that fits is kept")
        << QRect(100, 80, 900, 600) << small << QRect(100, 80, 900, 600);
    QTest::newRow("hanging off the right edge is pulled in")
        << QRect(600, 100, 800, 500) << small << QRect(224, 100, 800, 500);
    QTest::newRow("at scale factor 2, shrunk to the screen")
        << QRect(100, 100, 1100, 760) << scaled << QRect(0, 0, 960, 510);
    QTest::newRow("on the second monitor, it stays there")
        << QRect(2000, 100, 1000, 700) << two << QRect(2000, 100, 1000, 700);
    QTest::newRow("the second monitor is gone: centred on the primary")
        << QRect(2000, 100, 1000, 700) << fullHd << QRect(460, 170, 1000, 700);
    QTest::newRow("never below the window's minimum")
        << QRect(0, 0, 50, 50) << small << QRect(0, 0, 200, 200);
}
// clang-format on

void TestPlacement::placement()
{
    QFETCH(QRect, saved);
    QFETCH(QList<QRect>, screens);
    QFETCH(QRect, expected);
    QCOMPARE(placeMainWindow(saved, screens, QSize(200, 200)), expected);
}

// clang-format off
void TestPlacement::openedOnThisScreen_data()
{
    QTest::addColumn<bool>("stored");
    QTest::addColumn<QRect>("saved"); // in pixels, stored as twips
    QTest::newRow("first start") << false << QRect();
    QTest::newRow("placed on a screen far larger") << true << QRect(1700, 900, 1100, 760);
    QTest::newRow("placed left of every screen") << true << QRect(-3000, 50, 500, 400);
}
// clang-format on

// The real window on the test's own screen: whole on it, whatever was stored.
void TestPlacement::openedOnThisScreen()
{
    QFETCH(bool, stored);
    QFETCH(QRect, saved);
    if (stored) {
        QSettings s = settings();
        s.setValue(QStringLiteral("Settings/Window/Left"), saved.left() * 15);
        s.setValue(QStringLiteral("Settings/Window/Top"), saved.top() * 15);
        s.setValue(QStringLiteral("Settings/Window/Width"), saved.width() * 15);
        s.setValue(QStringLiteral("Settings/Window/Height"), saved.height() * 15);
    }
    ConfigDocument doc;
    frmMain window(doc);
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect placed(window.pos(), window.size());
    QVERIFY2(screen.contains(placed), qPrintable(QStringLiteral("%1,%2 %3x%4")
                                                     .arg(placed.x())
                                                     .arg(placed.y())
                                                     .arg(placed.width())
                                                     .arg(placed.height())));
    if (!stored)
        QCOMPARE(placed, placeMainWindow(QRect(), {screen}, window.minimumSize()));
}

// Maximised state and both splitters come back as they were left.
void TestPlacement::stateRemembered()
{
    ScriptedPrompter prompter;
    QList<int> tree;
    QList<int> errors;
    {
        ConfigDocument doc;
        frmMain window(doc);
        window.loadStep(QString());
        window.show();
        auto *across = window.findChild<QSplitter *>(QStringLiteral("imgSplitter"));
        auto *down = window.findChild<QSplitter *>(QStringLiteral("imgSpError"));
        across->setSizes({170, across->width() - 170});
        down->setSizes({down->height() - 140, 140});
        tree = across->sizes();
        errors = down->sizes();
        window.showMaximized();
        QVERIFY(window.close());
    }
    ConfigDocument doc;
    frmMain window(doc);
    window.loadStep(QString());
    QVERIFY(window.windowState().testFlag(Qt::WindowMaximized));
    window.showNormal();
    QCOMPARE(window.findChild<QSplitter *>(QStringLiteral("imgSplitter"))->sizes().value(0),
             tree.value(0));
    QCOMPARE(window.findChild<QSplitter *>(QStringLiteral("imgSpError"))->sizes().value(1),
             errors.value(1));
}

QTEST_MAIN(TestPlacement)
#include "tst_placement.moc"
