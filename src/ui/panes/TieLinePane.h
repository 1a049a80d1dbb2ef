#pragma once
// Editing pane of one tie line (vspData element 0); its records are the
// tie-line indexes 0..59.
#include "EditPane.h"

#include <memory>

class ConfigDocument;

class TieLinePane : public EditPane
{
    Q_OBJECT
  public:
    explicit TieLinePane(ConfigDocument &doc, QWidget *parent = nullptr);
    ~TieLinePane() override;
    void showRecord(int index) override;
    int currentIndex() const override;
    void commitPending() override;

  private:
    struct Private;
    std::unique_ptr<Private> d;
};
