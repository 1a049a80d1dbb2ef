// Against the built-in simulated exchange: Configuration > Compare with
// Exchange lists what the exchange holds beside the open configuration,
// which stays as it was.
#include "ExchangeFixture.h"
#include "FailOnQtWarnings.h"
#include "CompareWindow.h"

#include <QCheckBox>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>

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
    QTRY_VERIFY(s.window.findChild<CompareWindow *>());
    auto *window = s.window.findChild<CompareWindow *>();
    QCOMPARE(window->windowTitle(), QStringLiteral("Compare with Exchange"));
    // The exchange keeps no names: they are left out from the start.
    QVERIFY(window->findChild<QCheckBox *>(QStringLiteral("chkIgnoreNames"))->isChecked());
    auto *list = window->findChild<QTreeWidget *>(QStringLiteral("vsDiff"));
    // Every row under its heading: the system is its own; other records sit under their kind.
    QStringList shown;
    for (QTreeWidgetItemIterator it(list); *it; ++it) {
        QStringList row;
        for (const QTreeWidgetItem *item = *it; item; item = item->parent())
            row.prepend(item->text(0));
        shown << row.join(u'|') + u' ' + (*it)->text(1) + u'/' + (*it)->text(2);
    }
    QCOMPARE(shown,
             (QStringList{QStringLiteral("System /"), QStringLiteral("System|Tie PIN None/1234"),
                          QStringLiteral("Extensions (1) /"),
                          QStringLiteral("Extensions (1)|Extension 01.3 /"),
                          QStringLiteral("Extensions (1)|Extension 01.3|Ext No 103/150")}));
    QCOMPARE(s.doc.config, before);
    QVERIFY(!s.doc.configChanged());
    QCOMPARE(s.doc.undoStack()->count(), 0);
}

QTEST_MAIN(TestCompareExchange)
#include "tst_compareexchange.moc"
