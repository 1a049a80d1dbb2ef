#pragma once
// Editing pane of one extension (vspData element 1); its records are the
// extension indexes 0..119. Choosing the Disabled class, or leaving it,
// is told as nodeDisabledChanged.
#include "EditPane.h"

#include <memory>

class ConfigDocument;

class ExtensionPane : public EditPane
{
    Q_OBJECT
  public:
    explicit ExtensionPane(ConfigDocument &doc, QWidget *parent = nullptr);
    ~ExtensionPane() override;
    void showRecord(int index) override;
    int currentIndex() const override;
    void commitPending() override;

  private:
    struct Private;
    std::unique_ptr<Private> d;
};
