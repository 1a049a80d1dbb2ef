#pragma once
// Editing pane of one tie line (vspData element 0).
#include <QWidget>

class ConfigDocument;

class TieLinePane : public QWidget
{
    Q_OBJECT
  public:
    explicit TieLinePane(ConfigDocument &doc, QWidget *parent = nullptr);
    ~TieLinePane() override;
    // Fills the pane for tie-line index 0..59 (a field still being edited
    // for the previous record is stored first).
    void ShowTieLine(int index);
    int currentIndex() const;
    // Stores a field still being edited (the pane is being left).
    void commitPending();

  signals:
    // Text for the first status-bar panel ("WARNING: ...", "ERROR: ..."), or empty.
    void statusMessage(const QString &text);
    // A tree node's text changed (key "T007", new text).
    void nodeTextChanged(const QString &key, const QString &text);

  private:
    struct Private;
    Private *d;
};
