#pragma once
// "Add New Class" (or "Rename Class"): the name of a new extension class,
// optionally a copy of the class being edited, or the new name of a class.
// A name already in use is refused and the dialog stays open.
#include <QDialog>

class ConfigDocument;

class NewClassDialog : public QDialog
{
    Q_OBJECT
  public:
    // renaming: the class to rename, or -1 for a new class; current: the
    // class the class editor shows (copied when "Make it the same" is ticked).
    NewClassDialog(ConfigDocument &doc, int renaming, int current, QWidget *parent = nullptr);
    ~NewClassDialog() override;

    // After OK: the class created or renamed.
    int selectedClass() const;

  private:
    struct Private;
    Private *d;
};
