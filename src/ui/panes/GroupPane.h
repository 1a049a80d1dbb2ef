#pragma once
// Editing pane of one group (vspData element 2).
#include <QWidget>

class ConfigDocument;

class GroupPane : public QWidget
{
    Q_OBJECT
  public:
    explicit GroupPane(ConfigDocument &doc, QWidget *parent = nullptr);
    ~GroupPane() override;
    // Fills the pane for group index 0..15 (a field still being edited for
    // the previous group is stored first).
    void ShowGroup(int index);
    int currentIndex() const;
    // Stores a field still being edited (the pane is being left).
    void commitPending();

  signals:
    // Text for the first status-bar panel ("WARNING: ...", "ERROR: ..."), or empty.
    void statusMessage(const QString &text);
    // A tree node's text changed (key "G007", new text).
    void nodeTextChanged(const QString &key, const QString &text);
    // The group was switched on or off (the tree shows inactive groups apart).
    void nodeDisabledChanged(const QString &key, bool disabled);

  private:
    struct Private;
    Private *d;
};
