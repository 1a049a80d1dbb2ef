#pragma once
// "Class Rights": edits the options and icon of the extension classes the
// technician may change, creates and renames classes, and carries an edit
// over to the extensions: they follow the class, or become Custom ones that
// keep their options; matching Custom extensions may join the class.
// Edits are worked on in the dialog and stored only by "Apply Changes".
#include <QDialog>

class ConfigDocument;

class ClassRightsDialog : public QDialog
{
    Q_OBJECT
  public:
    explicit ClassRightsDialog(ConfigDocument &doc, QWidget *parent = nullptr);
    ~ClassRightsDialog() override;

    // The class shown (-1 when there is none to edit).
    int loadedClass() const;
    // "Apply Changes" is enabled: there are edits not yet stored.
    bool hasUnappliedEdits() const;

    // Close, Escape and the close box: with edits not yet applied, asks
    // first whether to apply them, as switching to another class does.
    void reject() override;

  protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

  private:
    struct Private;
    Private *d;
};
