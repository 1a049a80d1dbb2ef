#include "HistoryShortcuts.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace
{

class HistoryShortcuts : public QObject
{
  public:
    HistoryShortcuts(QWidget *window, const QList<QAction *> &actions)
        : QObject(window), window_(window), actions_(actions)
    {
    }

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() != QEvent::ShortcutOverride || !watched->isWidgetType() ||
            static_cast<QWidget *>(watched)->window() != window_)
            return false;
        const QKeySequence pressed(static_cast<QKeyEvent *>(event)->keyCombination());
        for (const QAction *action : actions_) {
            if (action->isEnabled() && action->shortcuts().contains(pressed)) {
                // Not claimed by the field: the window's shortcut fires.
                event->ignore();
                return true;
            }
        }
        return false;
    }

  private:
    QWidget *window_;
    QList<QAction *> actions_;
};

} // namespace

void keepHistoryShortcuts(QWidget *window, const QList<QAction *> &actions)
{
    qApp->installEventFilter(new HistoryShortcuts(window, actions));
}
