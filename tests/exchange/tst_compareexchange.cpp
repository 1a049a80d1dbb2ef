// Configuration > Compare with Exchange against the built-in simulated
// exchange: what the exchange holds is listed beside the open configuration,
// which stays as it was.
#include "ExchangeFixture.h"
#include "FailOnQtWarnings.h"
#include "frmCompare.h"

#include <QCheckBox>
#include <QTreeWidget>

using namespace fixtures;

class TestCompareExchange : public QObject
{
    Q_OBJECT
  private slots:
    void init() { failOnQtWarnings(); }
    void differencesListedEditorUntouched();
};

void TestCompareExchange::differencesListedEditorUntouched()
{
    Configuration held = smallShip();
    held.Extensions[2].ExtNum = 150;
    held.SysConfig.PIN = 1234;
    ExchangeSession s(smallShip(), cabinetImage(held));
    const Configuration before = s.doc.config;

    s.action("mnuConfigCompare")->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(!s.exchange().isBusy(), 15000);
    QTRY_VERIFY(s.window.findChild<frmCompare *>());
    auto *window = s.window.findChild<frmCompare *>();
    QCOMPARE(window->windowTitle(), QStringLiteral("Compare with Exchange"));
    // The exchange keeps no names: they are left out from the start.
    QVERIFY(window->findChild<QCheckBox *>(QStringLiteral("chkIgnoreNames"))->isChecked());
    auto *list = window->findChild<QTreeWidget *>(QStringLiteral("vsDiff"));
    QStringList shown;
    for (int r = 0; r < list->topLevelItemCount(); ++r) {
        for (int f = 0; f < list->topLevelItem(r)->childCount(); ++f) {
            const QTreeWidgetItem *field = list->topLevelItem(r)->child(f);
            shown << list->topLevelItem(r)->text(0) + u' ' + field->text(0) + u' ' +
                         field->text(1) + u'/' + field->text(2);
        }
    }
    QCOMPARE(shown, (QStringList{QStringLiteral("System Tie PIN None/1234"),
                                 QStringLiteral("Extension 01.3 Ext No 103/150")}));
    QCOMPARE(s.doc.config, before);
    QVERIFY(!s.doc.ConfigChanged());
    QCOMPARE(s.doc.undoStack()->count(), 0);
}

QTEST_MAIN(TestCompareExchange)
#include "tst_compareexchange.moc"
