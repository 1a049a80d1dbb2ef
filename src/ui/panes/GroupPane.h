#pragma once
// Editing pane of one group (vspData element 2); its records are the group
// indexes 0..15. Switching a group off or on is told as nodeDisabledChanged
// (the tree shows inactive groups apart).
#include "EditPane.h"

#include <memory>

class ConfigDocument;

class GroupPane : public EditPane
{
    Q_OBJECT
  public:
    explicit GroupPane(ConfigDocument &doc, QWidget *parent = nullptr);
    ~GroupPane() override;
    void showRecord(int index) override;
    int currentIndex() const override;
    void commitPending() override;

  private:
    struct Private;
    std::unique_ptr<Private> d;
};
