#include "NewClassDialog.h"

#include "ClassEdits.h"
#include "ConfigDocument.h"
#include "PaneSupport.h"
#include "Prompter.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

struct NewClassDialog::Private {
    NewClassDialog *q;
    ConfigDocument &doc;
    int renaming;
    int current;
    int selected = -1;

    QLineEdit *txtClassName = nullptr;
    QCheckBox *chkCopy = nullptr;
    QPushButton *cmdOK = nullptr;

    Private(NewClassDialog *dialog, ConfigDocument &document, int renamed, int shown)
        : q(dialog), doc(document), renaming(renamed), current(shown)
    {
    }

    void build();
    void ok();
};

NewClassDialog::NewClassDialog(ConfigDocument &doc, int renaming, int current, QWidget *parent)
    : QDialog(parent), d(new Private(this, doc, renaming, current))
{
    setObjectName(QStringLiteral("frmNewClass"));
    d->build();
}

NewClassDialog::~NewClassDialog()
{
    delete d;
}

int NewClassDialog::selectedClass() const
{
    return d->selected;
}

void NewClassDialog::Private::build()
{
    const bool rename = renaming >= 0;
    q->setWindowTitle(rename ? QStringLiteral("Rename Class") : QStringLiteral("Add New Class"));
    auto *layout = new QVBoxLayout(q);
    auto *row = new QHBoxLayout;
    txtClassName = new QLineEdit(q);
    txtClassName->setObjectName(QStringLiteral("txtClassName"));
    txtClassName->setMinimumWidth(txtClassName->fontMetrics().horizontalAdvance(QLatin1Char('W')) * 18);
    auto *label = new QLabel(QStringLiteral("Class &Name:"), q);
    label->setBuddy(txtClassName);
    row->addWidget(label);
    row->addWidget(txtClassName, 1);
    layout->addLayout(row);
    chkCopy = new QCheckBox(QStringLiteral("&Make it the same as the current class"), q);
    chkCopy->setObjectName(QStringLiteral("chkCopy"));
    chkCopy->setVisible(!rename && current >= 0);
    layout->addWidget(chkCopy);

    QDialogButtonBox *buttons = panes::okCancelButtons(q);
    cmdOK = buttons->button(QDialogButtonBox::Ok);
    layout->addWidget(buttons);

    if (rename)
        txtClassName->setText(doc.config.ExtClasses[renaming].Name);
    txtClassName->selectAll();
    // Only a name with something besides blanks can be taken.
    const auto enableOK = [this] { cmdOK->setEnabled(!txtClassName->text().trimmed().isEmpty()); };
    enableOK();
    QObject::connect(txtClassName, &QLineEdit::textChanged, q, enableOK);
    QObject::connect(buttons, &QDialogButtonBox::accepted, q, [this] { ok(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, q, &QDialog::reject);
}

void NewClassDialog::Private::ok()
{
    const QString name = txtClassName->text().trimmed();
    ClassNameProblem problem = ClassNameProblem::None;
    int result = -1;
    QString step;
    if (renaming >= 0) {
        const QString old = doc.config.ExtClasses[renaming].Name;
        if (renameClass(doc.config, renaming, name, &problem))
            result = renaming;
        step = QStringLiteral("Rename Class %1").arg(old);
    } else {
        result = createClass(doc.config, name, chkCopy->isChecked() ? current : -1, &problem);
        step = QStringLiteral("New Class %1").arg(name);
    }
    if (result < 0) {
        prompter().message(q, q->windowTitle(), classNameProblemText(problem),
                           QMessageBox::Critical);
        txtClassName->setFocus();
        txtClassName->selectAll();
        return;
    }
    selected = result;
    doc.markChanged(step);
    q->accept();
}
