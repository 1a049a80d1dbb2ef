#pragma once
// System settings pane (vspData element 3): name, password, PIN, system
// size, the guaranteed-access extensions and the boards the slots hold.
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

  private:
    struct Private;
    Private *d;
};
