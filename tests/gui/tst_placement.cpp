// Where the windows open and what the main window remembers: a comfortable
// size on the first start, always whole on a screen afterwards (another
// monitor, a smaller screen, another scale factor), maximised state and
// splitters; every window the program places itself whole on the screen of
// the main window, and what a new user looks at on the small screen
// readable. Run on two screens side by side, 1280x800 (the primary) and
// 1024x768.
#include "AppSettings.h"
#include "ConfigDocument.h"
#include "FailOnQtWarnings.h"
#include "GuiFixtures.h"
#include "Palettes.h"
#include "ScriptedPrompter.h"
#include "WindowPlacement.h"
#include "ClassRightsDialog.h"
#include "TerminalWindow.h"
#include "GroupMembersDialog.h"
#include "MainWindow.h"
#include "NewSystemDialog.h"

#include <QFileDialog>
#include <QGuiApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QSplitter>
#include <QStyleFactory>
#include <QToolBar>
#include <QTreeView>
#include <QtTest>

#include <functional>

using fixtures::control;
using fixtures::Session;
// Opens a window from the main window the way a technician does; returns it.
using Opener = std::function<QWidget *(Session &)>;
Q_DECLARE_METATYPE(Opener)
// Looks at a part of the main window; empty when it reads well, else what is wrong.
using Look = std::function<QString(Session &)>;
Q_DECLARE_METATYPE(Look)

namespace
{

void storePlacement(const QRect &placed)
{
    QSettings s = fixtures::programSettings();
    s.setValue(QStringLiteral("Settings/Window/Left"), placed.left() * 15);
    s.setValue(QStringLiteral("Settings/Window/Top"), placed.top() * 15);
    s.setValue(QStringLiteral("Settings/Window/Width"), placed.width() * 15);
    s.setValue(QStringLiteral("Settings/Window/Height"), placed.height() * 15);
}

QScreen *screenNamed(const QString &name)
{
    for (QScreen *screen : QGuiApplication::screens()) {
        if (screen->name() == name)
            return screen;
    }
    qFatal("no screen %s", qPrintable(name));
}

// Pixels of an icon drawn on `ground` that stand out from it (a contrast of
// 3:1 or more, what a picture needs to be made out).
int inkOn(const QIcon &icon, const QColor &ground)
{
    QImage image(24, 24, QImage::Format_ARGB32);
    image.fill(ground);
    QPainter painter(&image);
    icon.paint(&painter, image.rect());
    painter.end();
    int ink = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            ink += contrast(QColor(image.pixel(x, y)), ground) >= 3.0;
        }
    }
    return ink;
}

QString describe(const QRect &r)
{
    return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
}

// A look at a window opened from the main window: wholly on the main
// window's screen, frame and all.
Look whole(const Opener &open)
{
    return [open](Session &s) -> QString {
        const QWidget *window = open(s);
        if (!window->isVisible() || window->screen() != s.window.screen())
            return QStringLiteral("not shown on ") + s.window.screen()->name();
        const QRect area = s.window.screen()->availableGeometry();
        const QRect framed = window->frameGeometry();
        return area.contains(framed) ? QString() : describe(framed);
    };
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
    void stateRemembered();
    void onTheScreen_data();
    void onTheScreen();

  private:
    QTemporaryDir settingsDir_;
};

void TestPlacement::initTestCase()
{
    // Started without a file and without a template: the New System dialog
    // is answered Cancel instead of shown.
    FileCommands::setTemplateFile(settingsDir_.filePath(QStringLiteral("absent.TWZ")));
    FileCommands::setNewSystemRunner([](NewSystemDialog &) { return int(QDialog::Rejected); });
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

// The real window on the test's own screen: the first start as placed by
// the rule; maximised state and both splitters come back as they were left,
// and a placement left of every screen is pulled whole onto it.
void TestPlacement::stateRemembered()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    ScriptedPrompter prompter;
    QList<int> tree;
    QList<int> errors;
    {
        ConfigDocument doc;
        MainWindow window(doc);
        QCOMPARE(QRect(window.pos(), window.size()),
                 placeMainWindow(QRect(), {screen}, window.minimumSize()));
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
    storePlacement(QRect(-3000, 50, 500, 400));
    ConfigDocument doc;
    MainWindow window(doc);
    const QRect placed(window.pos(), window.size());
    QVERIFY2(screen.contains(placed), qPrintable(describe(placed)));
    window.loadStep(QString());
    QVERIFY(window.windowState().testFlag(Qt::WindowMaximized));
    window.showNormal();
    QCOMPARE(window.findChild<QSplitter *>(QStringLiteral("imgSplitter"))->sizes().value(0),
             tree.value(0));
    QCOMPARE(window.findChild<QSplitter *>(QStringLiteral("imgSpError"))->sizes().value(1),
             errors.value(1));
}

// The main window as a new user first sees it on a screen; what is looked
// at there reads in full, and the windows opened from it are whole on it.
void TestPlacement::onTheScreen_data()
{
    QTest::addColumn<QString>("screen");
    QTest::addColumn<Look>("look");
    const Opener selectExtensions = [](Session &s) -> QWidget * {
        s.click(QStringLiteral("G000"));
        control<QPushButton>(s.window, "cmdGrpSelect")->click();
        return control<GroupMembersDialog>(s.window, "frmGroupExts");
    };
    const Opener classIcon = [](Session &s) -> QWidget * {
        s.action(QStringLiteral("mnuEditClass"))->trigger();
        control<QPushButton>(*control<ClassRightsDialog>(s.window, "frmClass"), "cmdIcon")->click();
        return control<QWidget>(s.window, "frmClassIcon");
    };
    const Opener help = [](Session &s) -> QWidget * {
        s.action(QStringLiteral("mnuHelpContents"))->trigger();
        return control<QWidget>(s.window, "frmHelp");
    };
    const Opener terminal = [](Session &s) -> QWidget * {
        s.action(QStringLiteral("mnuToolsTerm"))->trigger();
        return &s.window.terminal();
    };
    for (const char *screen : {"1280x800", "1024x768"}) {
        const auto row = [screen](const char *window, const Opener &open) {
            QTest::addRow("%s on %s", window, screen) << QString::fromLatin1(screen) << whole(open);
        };
        row("Select Extensions of a group", selectExtensions);
        row("the class icon picker", classIcon);
        row("the user guide", help);
        row("the terminal", terminal);
    }
    const QString small = QStringLiteral("1024x768");
    QTest::newRow("a name of 30 characters typed into the details grid")
        << small << Look([](Session &s) {
        s.window.setListViewMode(3);
        s.click(QStringLiteral("REX"));
        PortGrid *grid = s.grid();
        grid->setCurrentCell(grid->rowOfKey(QStringLiteral("E001")), PortGrid::ColName);
        QTest::keyClick(grid, Qt::Key_F2);
        auto *editor = grid->viewport()->findChild<QLineEdit *>();
        if (!editor)
            return QStringLiteral("no name editor");
        QTest::keyClicks(editor, QStringLiteral("Chief Engineer's Day Cabin 12A"));
        const int typed = editor->fontMetrics().horizontalAdvance(editor->text());
        if (editor->width() < typed)
            return QStringLiteral("typing, %1 of %2 pixels show").arg(editor->width()).arg(typed);
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents(); // the editor hands its text over after the key
        if (s.doc.config.Extensions[1].Name != QLatin1String("Chief Engineer's Day Cabin 12A"))
            return QStringLiteral("the name was not stored");
        const int needed =
            static_cast<QAbstractItemView *>(grid)->sizeHintForColumn(PortGrid::ColName);
        return grid->columnWidth(PortGrid::ColName) >= needed
                   ? QString()
                   : QStringLiteral("the Name column is %1 wide, the name needs %2")
                         .arg(grid->columnWidth(PortGrid::ColName))
                         .arg(needed);
    });
    QTest::newRow("the system pane") << small << Look([](Session &s) {
        s.click(QStringLiteral("RRR"));
        QApplication::processEvents();
        auto *frame = s.window.findChild<QScrollArea *>(QStringLiteral("vspData3Frame"));
        const int hidden = frame->verticalScrollBar()->maximum();
        return hidden == 0 ? QString()
                           : QStringLiteral("%1 pixels of it scroll out of sight").arg(hidden);
    });
    QTest::newRow("the toolbar in a dark palette") << small << Look([](Session &s) {
        const QPalette light = QApplication::palette();
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        QApplication::setPalette(::darkPalette());
        const QPalette darkPalette = QApplication::palette();
        ConfigDocument doc;
        MainWindow dark(doc);
        QApplication::setPalette(light);
        QStringList faint;
        const auto actions = [](MainWindow &w) {
            return w.findChild<QToolBar *>(QStringLiteral("tbToolBar"))->actions();
        };
        for (int k = 0; k < actions(dark).size(); ++k) {
            QAction *shown = actions(dark)[k];
            const int onLight = inkOn(actions(s.window)[k]->icon(), light.color(QPalette::Button));
            if (!shown->icon().isNull() &&
                inkOn(shown->icon(), darkPalette.color(QPalette::Button)) * 4 < onLight * 3)
                faint << shown->toolTip();
        }
        return faint.join(QStringLiteral(", "));
    });
    QTest::newRow("the backups offered for restoring, with their times, newest first")
        << small << Look([](Session &s) {
               QTemporaryDir folder;
               const QDateTime now = QDateTime::currentDateTime();
               for (const auto &[name, age] : {std::pair{"Ship-20240131-101500.bin", 2},
                                               std::pair{"Ship-20240201-090000.bin", 1},
                                               std::pair{"Ship-20240130-080000.bin", 3}}) {
                   QFile file(folder.filePath(QLatin1String(name)));
                   file.open(QIODevice::WriteOnly);
                   file.write(QByteArray(8192, '\0'));
                   file.flush();
                   file.setFileTime(now.addDays(-age), QFileDevice::FileModificationTime);
               }
               s.window.exchangeCommands().setBackupFolder(folder.path());
               s.window.exchangeCommands().connectAtStart(true);
               QString seen;
               QTimer::singleShot(0, &s.window, [&seen] {
                   auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
                   auto *list = dialog ? dialog->findChild<QTreeView *>(QStringLiteral("treeView"))
                                       : nullptr;
                   if (!list) {
                       seen = QStringLiteral("no file list");
                   } else {
                       const auto first = [list] {
                           return list->model()->index(0, 0, list->rootIndex()).data().toString();
                       };
                       // The folder is read, and sorted, while the dialog runs; a wait
                       // that runs out is told by the order check below.
                       const QString newest = QStringLiteral("Ship-20240201-090000.bin");
                       (void)QTest::qWaitFor([&] { return first() == newest; });
                       if (!list->isVisible() || list->isColumnHidden(3))
                           seen = QStringLiteral("no times shown");
                       else if (first() != newest)
                           seen = first() + QStringLiteral(" on top");
                   }
                   if (dialog)
                       dialog->reject();
               });
               Prompter *scripted = &prompter();
               setPrompter(nullptr); // the real file dialog
               s.window.exchangeCommands().restoreBackup();
               setPrompter(scripted);
               return seen;
           });
}

void TestPlacement::onTheScreen()
{
    QFETCH(QString, screen);
    QFETCH(Look, look);
    fixtures::Scratch scratch;
    const QRect area = screenNamed(screen)->availableGeometry();
    storePlacement(placeMainWindow(QRect(), {area}, QSize(200, 200)));
    Session s(scratch.write(QStringLiteral("ship.TWZ"), fixtures::smallShip()));
    QCOMPARE(s.window.screen()->name(), screen);
    const QString fault = look(s);
    QVERIFY2(fault.isEmpty(), qPrintable(fault));
    s.doc.setConfigChanged(false);
}

// Two screens side by side, as the offscreen platform is told before the
// application starts: the primary 1280x800, and 1024x768 to its right.
int main(int argc, char *argv[])
{
    QTemporaryDir dir;
    QFile config(dir.filePath(QStringLiteral("screens.json")));
    if (!config.open(QIODevice::WriteOnly))
        return 2;
    config.write(R"({"screens": [
        {"name": "1280x800", "x": 0, "y": 0, "width": 1280, "height": 800},
        {"name": "1024x768", "x": 1280, "y": 0, "width": 1024, "height": 768}]})");
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
    QApplication app(argc, argv);
    TestPlacement test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_placement.moc"
