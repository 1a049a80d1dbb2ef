#pragma once
// What the main window knows of an editing pane: it shows one record of its
// kind, stores a field still being typed in when it is left, and tells the
// status bar and the tree what changed. There is one pane per kind of record.
#include <QWidget>

#include <optional>

// The kinds of record with a pane of their own, in the order of the panes'
// names vspData0..3.
enum class PaneKind { TieLine, Extension, Group, System };
inline constexpr int PaneKinds = 4;

// The kind of record a tree key names ("T012", "E007", "G003", "RRR");
// nothing for the lists, the reports and the category nodes.
std::optional<PaneKind> paneKindOf(const QString &key);

class EditPane : public QWidget
{
    Q_OBJECT
  public:
    using QWidget::QWidget;

    // Fills the pane for record `index` of its table (a field still being
    // edited for the record shown before is stored first); an index outside
    // the table is ignored. The system pane has one record and any index shows it.
    virtual void showRecord(int index) = 0;
    // The record shown, -1 before the first (the system pane's is always 0).
    virtual int currentIndex() const = 0;
    // Shows the record again as the tables now hold it.
    void showAgain() { showRecord(currentIndex()); }
    // Stores a field still being edited (the pane is being left).
    virtual void commitPending() = 0;

  signals:
    // Text for the first status-bar panel ("WARNING: ...", "ERROR: ..."), or empty.
    void statusMessage(const QString &text);
    // A tree node's text changed (key "E007", new text).
    void nodeTextChanged(const QString &key, const QString &text);
    // A record was disabled (its node turns grey) or enabled again.
    void nodeDisabledChanged(const QString &key, bool disabled);
};
