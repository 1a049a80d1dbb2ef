#include "SlotMenus.h"

#include "Prompter.h"
#include "Limits.h"
#include "BoardTypes.h"

#include <QMenu>

using namespace tidelex;

namespace
{

QMenu *newMenu(const char *name, const char *title, QWidget *parent)
{
    auto *menu = new QMenu(QLatin1String(title), parent);
    menu->setObjectName(QLatin1String(name));
    return menu;
}

QAction *addItem(QMenu *menu, const QString &name, const char *caption, bool ticked)
{
    QAction *item = menu->addAction(QLatin1String(caption));
    item->setObjectName(name);
    item->setCheckable(true);
    item->setChecked(ticked);
    return item;
}

QMenu *lineBoardMenu(int board, bool offerEmpty, QWidget *parent)
{
    QMenu *menu = newMenu("mnuPopExt", "slotPopExt", parent);
    const struct {
        int board;
        const char *caption;
    } items[] = {{BoardSubscriber, "Subscriber Board"}, {BoardTieLine, "Tie Line Board"},
                 {BoardEmpty, "Empty"}};
    for (int k = 0; k < 3; ++k) {
        if (items[k].board == BoardEmpty) {
            if (!offerEmpty)
                break;
            menu->addSeparator()->setObjectName(QStringLiteral("mnuExt2"));
        }
        // Item 2 is the separator: "Empty" is mnuExt3.
        const QString name = QStringLiteral("mnuExt") + QString::number(k == 2 ? 3 : k);
        addItem(menu, name, items[k].caption, board == items[k].board)
            ->setData(items[k].board);
    }
    return menu;
}

} // namespace

QMenu *createSlotMenu(int slot, int board, bool offerEmpty, QWidget *parent)
{
    QMenu *menu = nullptr;
    if (board == BoardProcessor) {
        menu = newMenu("mnuPopProc", "slotPopProc", parent);
        addItem(menu, QStringLiteral("mnuProc"), "Processor Board", true);
    } else if (board == BoardTone8 || board == BoardTone16) {
        menu = newMenu("mnuPopTone", "slotPopTone", parent);
        addItem(menu, QStringLiteral("mnuTone0"), "8 Channel Tone Board", board == BoardTone8);
        addItem(menu, QStringLiteral("mnuTone1"), "16 Channel Tone Board", board == BoardTone16);
    } else if (board == BoardRinging) {
        menu = newMenu("mnuPopRing", "slotPopRing", parent);
        addItem(menu, QStringLiteral("mnuRing"), "Ringing Module", true);
    } else if (slot >= FirstLineSlot && slot <= LastLineSlot &&
               (offerEmpty || board == BoardSubscriber || board == BoardTieLine)) {
        menu = lineBoardMenu(board, offerEmpty, parent);
    } else {
        menu = newMenu("mnuPopEmpty", "slotPopEmpty", parent);
        addItem(menu, QStringLiteral("mnuEmpty"), "Empty", true);
    }
    return menu;
}

int boardOfSlotMenuItem(const QAction *item)
{
    bool ok = false;
    const int board = item ? item->data().toInt(&ok) : -1;
    return ok ? board : -1;
}

void popUpSlotMenu(int slot, int board, bool offerEmpty, QWidget *parent, const QPoint &at,
                   const std::function<void(int board)> &chosen)
{
    QMenu *menu = createSlotMenu(slot, board, offerEmpty, parent);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QObject::connect(menu, &QMenu::triggered, parent, [chosen](QAction *item) {
        const int next = boardOfSlotMenuItem(item);
        if (next >= 0)
            chosen(next);
    });
    menu->popup(at);
}

bool confirmBoardChange(QWidget *parent)
{
    return prompter().question(parent, QStringLiteral("Changing Board"),
                               QStringLiteral("Are you sure you want to change board type?"),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}
