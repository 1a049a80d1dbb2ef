#pragma once
// Editing pane of one extension (vspData element 1).
#include <QWidget>

class ConfigDocument;

class ExtensionPane : public QWidget
{
    Q_OBJECT
  public:
    explicit ExtensionPane(ConfigDocument &doc, QWidget *parent = nullptr);
    ~ExtensionPane() override;
    // Fills the pane for extension index 0..119 (a field still being edited
    // for the previous record is stored first).
    void ShowExtension(int index);
    int currentIndex() const;
    // Stores a field still being edited (the pane is being left).
    void commitPending();

  signals:
    // Text for the first status-bar panel ("WARNING: ...", "ERROR: ..."), or empty.
    void statusMessage(const QString &text);
    // A tree node's text changed (key "E007", new text).
    void nodeTextChanged(const QString &key, const QString &text);
    // The extension's class became "Disabled" (grey node) or left it.
    void nodeDisabledChanged(const QString &key, bool disabled);

  private:
    struct Private;
    Private *d;
};
