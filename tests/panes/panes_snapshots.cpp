// Renders the four panes and the New System dialog to PNG files so their
// layout can be checked by eye: panes_snapshots [folder] [width height].
#include "ConfigDocument.h"
#include "ExtensionPane.h"
#include "GroupPane.h"
#include "PaneFixture.h"
#include "ScriptedPrompter.h"
#include "SystemPane.h"
#include "TieLinePane.h"
#include "frmNewSystem.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QTextStream>

namespace
{

void save(QWidget &w, const QString &folder, const QString &name, QSize size)
{
    if (size.isValid())
        w.resize(size);
    else
        w.adjustSize();
    w.show();
    QApplication::processEvents();
    const QString path = QDir(folder).filePath(name + QStringLiteral(".png"));
    w.grab().save(path);
    QTextStream(stdout) << path << ' ' << w.width() << 'x' << w.height() << '\n';
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    const QString folder = args.size() > 1 ? args[1] : QStringLiteral("/tmp");
    const QSize size = args.size() > 3 ? QSize(args[2].toInt(), args[3].toInt()) : QSize();
    const QString suffix =
        size.isValid() ? QStringLiteral("_%1x%2").arg(size.width()).arg(size.height()) : QString();
    ScriptedPrompter prompts; // no window may block

    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.Extensions[4].Class = tdl::ClassHotLine;
    doc.config.Extensions[4].Status = doc.config.ExtClasses[tdl::ClassHotLine].Status;
    doc.config.Extensions[4].DirectDial = 104; // red target
    doc.config.Extensions[4].Group = 546;
    doc.config.TieLines[56].Ext2 = 546;
    doc.config.Groups[0].Num = 3;
    doc.config.Groups[0].Exts = {101, 102, 101, -1};
    doc.config.SysConfig.GA = {101, 300, -1, -1};
    doc.config.SysConfig.PIN = 7415;

    ExtensionPane ext(doc);
    ext.showRecord(4);
    save(ext, folder, QStringLiteral("pane_extension") + suffix, size);
    TieLinePane tie(doc);
    tie.showRecord(56);
    save(tie, folder, QStringLiteral("pane_tieline") + suffix, size);
    GroupPane grp(doc);
    grp.showRecord(0);
    save(grp, folder, QStringLiteral("pane_group") + suffix, size);
    SystemPane sys(doc);
    sys.showRecord(0);
    save(sys, folder, QStringLiteral("pane_system") + suffix, size);

    Configuration scratch = makeDefaultConfiguration();
    frmNewSystem dialog(scratch);
    dialog.setOpenInstead(true);
    auto *exts = dialog.findChild<QComboBox *>(QStringLiteral("cboExtensions"));
    exts->setCurrentIndex(exts->findData(48));
    auto *shore = dialog.findChild<QComboBox *>(QStringLiteral("cboShore"));
    shore->setCurrentIndex(shore->findData(5));
    save(dialog, folder, QStringLiteral("dialog_newsystem"), QSize());
    return 0;
}
