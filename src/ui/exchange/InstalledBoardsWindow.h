#pragma once
// "Slots Display": the boards the exchange reports for its cabinet, read
// over the link, coloured by kind. Slots whose board differs from the open
// configuration are marked and listed, since a configuration sent to a
// different cabinet does not work. A right-click shows (and may correct)
// the board recorded for a slot.
#include <QDialog>

class BoardsController;
class ConfigDocument;
class SerialLink;

class InstalledBoardsWindow : public QDialog
{
    Q_OBJECT
  public:
    InstalledBoardsWindow(ConfigDocument &doc, SerialLink &link, QWidget *parent = nullptr);
    ~InstalledBoardsWindow() override;

    // Reads the slots from the exchange (the window shows the progress).
    void askExchange();
    // The running read, for whoever keeps one operation on the line at a time.
    BoardsController &operation();

    // Redraws every slot from the installed boards and lists the differences.
    void showInstalled();
    // The differences now listed ("Slot 5: configuration Tie Line, exchange Subscriber").
    QStringList differenceTexts() const;

  protected:
    // Closing the window while it reads cancels the read and frees the line.
    void hideEvent(QHideEvent *event) override;

  private:
    struct Private;
    Private *d;
};
