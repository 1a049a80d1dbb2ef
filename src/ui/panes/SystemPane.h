#pragma once
// System settings pane (vspData element 3): name, password, PIN, system
// size, the guaranteed-access extensions and the boards the slots hold,
// where a right-click changes a line slot's board.
#include <QWidget>

class ConfigDocument;

class SystemPane : public QWidget
{
    Q_OBJECT
  public:
    explicit SystemPane(ConfigDocument &doc, QWidget *parent = nullptr);
    ~SystemPane() override;
    // Fills the pane from the system record (a field still being edited is
    // stored first).
    void DisplaySysConfig();
    void commitPending();

  signals:
    void statusMessage(const QString &text);
    void nodeTextChanged(const QString &key, const QString &text);
    // A port lamp was double-clicked: open the record ("E024", "T012").
    void openRecord(const QString &key);
    // A slot's board changed: the tree and this pane must be rebuilt.
    void boardsChanged();

  private:
    struct Private;
    Private *d;
};
