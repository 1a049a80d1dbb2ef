#pragma once
// System settings pane (vspData element 3): name, password, PIN, system
// size, the guaranteed-access extensions and the boards the slots hold,
// where a right-click changes a line slot's board. Its one record is
// index 0.
#include "EditPane.h"

#include <memory>

class ConfigDocument;

class SystemPane : public EditPane
{
    Q_OBJECT
  public:
    explicit SystemPane(ConfigDocument &doc, QWidget *parent = nullptr);
    ~SystemPane() override;
    void showRecord(int index) override;
    int currentIndex() const override { return 0; }
    void commitPending() override;

  signals:
    // A port lamp was double-clicked: open the record ("E024", "T012").
    void openRecord(const QString &key);
    // A slot's board changed: the tree and this pane must be rebuilt.
    void boardsChanged();

  private:
    struct Private;
    std::unique_ptr<Private> d;
};
