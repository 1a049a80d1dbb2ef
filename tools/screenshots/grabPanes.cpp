// Renders the four panes and the New System dialog to PNG files so their
// layout can be checked by eye: grab_panes OUTDIR [WIDTH HEIGHT] [dark].
#include "ConfigDocument.h"
#include "GrabAid.h"
#include "ExtensionPane.h"
#include "GroupPane.h"
#include "PaneFixture.h"
#include "SystemPane.h"
#include "TieLinePane.h"
#include "NewSystemDialog.h"

#include <QComboBox>
#include <QTextStream>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    GrabAid aid;
    // At the size given, else at each window's own.
    const auto save = [&](QWidget &w, const QString &name) {
        if (aid.size.isValid())
            w.resize(aid.size);
        else
            w.adjustSize();
        w.show();
        aid.save(&w, name);
        QTextStream(stdout) << aid.file(name) << ' ' << w.width() << 'x' << w.height() << '\n';
    };

    ConfigDocument doc;
    loadSmallShip(doc);
    doc.config.Extensions[4].Class = tidelex::ClassHotLine;
    doc.config.Extensions[4].Status = doc.config.ExtClasses[tidelex::ClassHotLine].Status;
    doc.config.Extensions[4].DirectDial = 104; // red target
    doc.config.Extensions[4].Group = 546;
    doc.config.TieLines[56].Ext2 = 546;
    doc.config.Groups[0].Num = 3;
    doc.config.Groups[0].Exts = {101, 102, 101, -1};
    doc.config.SysConfig.GA = {101, 300, -1, -1};
    doc.config.SysConfig.PIN = 7415;

    ExtensionPane ext(doc);
    ext.showRecord(4);
    save(ext, QStringLiteral("pane_extension"));
    TieLinePane tie(doc);
    tie.showRecord(56);
    save(tie, QStringLiteral("pane_tieline"));
    GroupPane grp(doc);
    grp.showRecord(0);
    save(grp, QStringLiteral("pane_group"));
    SystemPane sys(doc);
    sys.showRecord(0);
    save(sys, QStringLiteral("pane_system"));

    Configuration scratch = makeDefaultConfiguration();
    NewSystemDialog dialog(scratch);
    dialog.setOpenInstead(true);
    auto *exts = dialog.findChild<QComboBox *>(QStringLiteral("cboExtensions"));
    exts->setCurrentIndex(exts->findData(48));
    auto *shore = dialog.findChild<QComboBox *>(QStringLiteral("cboShore"));
    shore->setCurrentIndex(shore->findData(5));
    save(dialog, QStringLiteral("dialog_newsystem"));
    return 0;
}
