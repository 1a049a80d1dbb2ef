#include "NewSystemDialog.h"

#include "BoardStrip.h"
#include "Configuration.h"
#include "NewSystem.h"
#include "PaneSupport.h"
#include "Prompter.h"

#include "ConfigFile.h"

#include <QApplication>
#include <QComboBox>
#include <QDateTime>
#include <QEvent>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTimer>
#include <QVBoxLayout>

using namespace tidelex;

namespace
{

const char *const officerHint = "Number of Officer class extensions required";

} // namespace

struct NewSystemDialog::Private {
    NewSystemDialog *q;
    Configuration &config;
    bool Filling = false;
    bool OpenInstead = false;
    int MaxExtensions = 120;
    BoardPlanResult plan;
    QString chosen;

    QComboBox *cboExtensions, *cboShore, *cboSATCOM, *cboPA, *cboPager;
    QLineEdit *txtOfficer;
    BoardStrip *shapes;
    QPushButton *OKButton, *CancelButton;

    Private(NewSystemDialog *dialog, Configuration &cfg) : q(dialog), config(cfg) {}

    void build();
    void fillLists();
    NewSystemCounts counts() const;
    void planBoardsNow();
    bool officersValid();
    void ok();
    void cancel();
};

NewSystemDialog::NewSystemDialog(Configuration &config, QWidget *parent)
    : QDialog(parent), d(new Private(this, config))
{
    setWindowTitle(QStringLiteral("New System"));
    d->build();
    d->fillLists();
}

NewSystemDialog::~NewSystemDialog()
{
    d->txtOfficer->removeEventFilter(this);
    panes::detachChildren(this);
    delete d;
}

void NewSystemDialog::Private::build()
{
    auto *layout = new QVBoxLayout(q);
    auto *top = new QHBoxLayout;

    auto *Frame2 = new QGroupBox(QStringLiteral("Extensions"), q);
    Frame2->setObjectName(QStringLiteral("Frame2"));
    auto *extForm = new QFormLayout(Frame2);
    cboExtensions = new QComboBox(Frame2);
    cboExtensions->setObjectName(QStringLiteral("cboExtensions"));
    txtOfficer = new QLineEdit(Frame2);
    txtOfficer->setObjectName(QStringLiteral("txtOfficer"));
    txtOfficer->setMaxLength(3);
    txtOfficer->setToolTip(QLatin1String(officerHint));
    // Digits only; editing keys still work.
    txtOfficer->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), txtOfficer));
    txtOfficer->installEventFilter(q);
    extForm->addRow(QStringLiteral("Total # of Extensions:"), cboExtensions);
    extForm->addRow(QStringLiteral("# to be made Officer:"), txtOfficer);
    top->addWidget(Frame2);

    auto *Frame1 = new QGroupBox(QStringLiteral("External (Tie) Lines"), q);
    Frame1->setObjectName(QStringLiteral("Frame1"));
    auto *lineForm = new QFormLayout(Frame1);
    const struct {
        const char *caption;
        const char *name;
        QComboBox **combo;
    } lines[] = {{"Shore Lines:", "cboShore", &cboShore},
                 {"SATCOM Lines:", "cboSATCOM", &cboSATCOM},
                 {"Public Address Lines:", "cboPA", &cboPA},
                 {"Pager Lines:", "cboPager", &cboPager}};
    for (const auto &line : lines) {
        *line.combo = new QComboBox(Frame1);
        (*line.combo)->setObjectName(QLatin1String(line.name));
        lineForm->addRow(QLatin1String(line.caption), *line.combo);
    }
    top->addWidget(Frame1);
    layout->addLayout(top);

    auto *fmeSysConfig = new QGroupBox(QStringLiteral("Board Configuration"), q);
    fmeSysConfig->setObjectName(QStringLiteral("fmeSysConfig"));
    fmeSysConfig->setToolTip(QStringLiteral(
        "Installed boards for this configuration. Tidelex will need to match this for the "
        "configuration to work. (Red - Subscriber; Blue = Exchange; Yellow = Processor; Green = "
        "Tone)"));
    auto *boardBox = new QVBoxLayout(fmeSysConfig);
    shapes = new BoardStrip(QStringLiteral("Shape1"), fmeSysConfig);
    boardBox->addWidget(shapes);
    layout->addWidget(fmeSysConfig);

    auto *buttons = new QHBoxLayout;
    OKButton = new QPushButton(QStringLiteral("OK"), q);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("Cancel"), q);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    buttons->addStretch(1);
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    layout->addLayout(buttons);

    for (QComboBox *combo : {cboExtensions, cboShore, cboSATCOM, cboPA, cboPager}) {
        QObject::connect(combo, &QComboBox::currentIndexChanged, q, [this] {
            if (!Filling)
                planBoardsNow();
        });
    }
    QObject::connect(OKButton, &QPushButton::clicked, q, [this] { ok(); });
    QObject::connect(CancelButton, &QPushButton::clicked, q, [this] { cancel(); });
}

void NewSystemDialog::Private::fillLists()
{
    Filling = true;
    for (int n = ExtsPerBoard; n <= MaxExtensions; n += ExtsPerBoard)
        cboExtensions->addItem(QString::number(n), n);
    for (QComboBox *combo : {cboShore, cboSATCOM, cboPA, cboPager}) {
        for (int n = 0; n <= 16; ++n)
            combo->addItem(QString::number(n), n);
    }
    for (QComboBox *combo : {cboExtensions, cboShore, cboSATCOM, cboPA, cboPager})
        combo->setCurrentIndex(0);
    Filling = false;
    planBoardsNow();
}

NewSystemCounts NewSystemDialog::Private::counts() const
{
    NewSystemCounts c;
    c.extensions = cboExtensions->currentData().toInt();
    c.officers = txtOfficer->text().toInt(); // digits only; empty is none
    c.shore = cboShore->currentData().toInt();
    c.satcom = cboSATCOM->currentData().toInt();
    c.pa = cboPA->currentData().toInt();
    c.pager = cboPager->currentData().toInt();
    return c;
}

void NewSystemDialog::Private::planBoardsNow()
{
    plan = planBoards(counts());
    for (int k = 1; k <= LineSlotCount; ++k)
        shapes->setSlotType(k + 1, plan.BoardPlan[k]);
    OKButton->setEnabled(!plan.overflow);
    if (plan.overflow)
        prompter().message(q, QStringLiteral("New System Configuration"), planNotPossibleText(),
                           QMessageBox::Warning);
}

// The officers must be fewer than the extensions; otherwise the box turns
// red, explains why, beeps and keeps the focus.
bool NewSystemDialog::Private::officersValid()
{
    const bool fits = officersFit(counts());
    panes::setFieldError(txtOfficer, !fits);
    txtOfficer->setToolTip(fits ? QLatin1String(officerHint) : officersTooManyText());
    if (!fits) {
        QApplication::beep();
        QTimer::singleShot(0, txtOfficer, [box = txtOfficer] {
            box->setFocus();
            box->selectAll();
        });
    }
    return fits;
}

bool NewSystemDialog::eventFilter(QObject *watched, QEvent *event)
{
    // Leaving the box for another control checks it; switching to another
    // window or opening a pop-up does not.
    if (watched == d->txtOfficer && event->type() == QEvent::FocusOut) {
        const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason)
            d->officersValid();
    }
    return QDialog::eventFilter(watched, event);
}

void NewSystemDialog::Private::ok()
{
    // The total may have changed since the officer box was left.
    if (!officersValid())
        return;
    const NewSystemCounts c = counts();
    plan = planBoards(c);
    if (plan.overflow)
        return;
    const QString lastUpdate =
        QLocale().toString(QDateTime::currentDateTime(), QLocale::ShortFormat);
    generateNewSystem(config, c, plan, lastUpdate);
    q->accept();
}

void NewSystemDialog::Private::cancel()
{
    if (!OpenInstead) {
        q->reject();
        return;
    }
    const QString file = prompter().chooseConfigurationToOpen(q);
    if (file.isEmpty())
        return;
    QString path = file;
    if (existFile(path)) {
        chosen = path;
        q->done(OpenedFile);
        return;
    }
    prompter().message(q, QStringLiteral("helmWISE"),
                       file + QStringLiteral(" is not valid. Not Loading"));
}

void NewSystemDialog::setOpenInstead(bool openInstead)
{
    d->OpenInstead = openInstead;
    d->CancelButton->setText(openInstead ? QStringLiteral("Open...") : QStringLiteral("Cancel"));
}

QString NewSystemDialog::chosenFile() const
{
    return d->chosen;
}
