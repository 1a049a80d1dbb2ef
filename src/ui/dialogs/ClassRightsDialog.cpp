#include "ClassRightsDialog.h"

#include "ClassEdits.h"
#include "ConfigDocument.h"
#include "Icons.h"
#include "OptionBoxes.h"
#include "Prompter.h"
#include "WindowPlacement.h"
#include "ClassIconDialog.h"
#include "NewClassDialog.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace tidelex;

namespace
{

QString updateTitle()
{
    return QStringLiteral("Update Extension Classes");
}

// Opens a dialog without waiting for it; it goes away when closed.
void openAndForget(QDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

} // namespace

struct ClassRightsDialog::Private {
    ClassRightsDialog *q;
    ConfigDocument &doc;
    int loaded = -1;
    ClassStatus EditStatus{};
    QString EditIcon;
    bool Loading = false;

    QComboBox *cboExtClass = nullptr;
    OptionBoxes *fmeOptions = nullptr;
    QRadioButton *optClass[2] = {};
    QLabel *picIcon = nullptr;
    QPushButton *cmdIcon = nullptr, *cmdApplyChanges = nullptr, *cmdCancelChanges = nullptr,
                *cmdNewClass = nullptr, *cmdRename = nullptr;

    Private(ClassRightsDialog *dialog, ConfigDocument &document) : q(dialog), doc(document) {}

    ClassRecord &loadedRecord() { return doc.config.ExtClasses[loaded]; }

    void build();
    QGroupBox *buildClassType();
    QGroupBox *buildIcon();
    void fillClasses(int select);
    void classPicked();
    bool mayLeaveClass();
    void selectInCombo(int c);
    void load(int c);
    void showEdit();
    void setEdited(bool edited);
    void optionClicked(int byte, uint8_t bit, bool on);
    void pickIcon();
    bool apply();
    bool storeForMembers();
    void storeForCustomMatches(bool &stored);
    void newClass(bool rename);
};

ClassRightsDialog::ClassRightsDialog(ConfigDocument &doc, QWidget *parent)
    : QDialog(parent), d(new Private(this, doc))
{
    setObjectName(QStringLiteral("frmClass"));
    setWindowTitle(QStringLiteral("Class Rights"));
    d->build();
    d->fillClasses(-1);
    d->classPicked();
}

ClassRightsDialog::~ClassRightsDialog()
{
    delete d;
}

int ClassRightsDialog::loadedClass() const
{
    return d->loaded;
}

bool ClassRightsDialog::hasUnappliedEdits() const
{
    return d->cmdApplyChanges->isEnabled();
}

void ClassRightsDialog::Private::build()
{
    auto *layout = new QVBoxLayout(q);
    auto *top = new QHBoxLayout;
    cboExtClass = new QComboBox(q);
    cboExtClass->setObjectName(QStringLiteral("cboExtClass"));
    cboExtClass->setMinimumContentsLength(20);
    auto *classLabel = new QLabel(QStringLiteral("E&xtension Class"), q);
    classLabel->setBuddy(cboExtClass);
    top->addWidget(classLabel);
    top->addWidget(cboExtClass, 1);
    layout->addLayout(top);

    fmeOptions = new OptionBoxes(q);
    fmeOptions->setObjectName(QStringLiteral("fmeOptions"));
    layout->addWidget(fmeOptions);

    auto *middle = new QHBoxLayout;
    middle->addWidget(buildClassType(), 1);
    middle->addWidget(buildIcon(), 1);
    layout->addLayout(middle);

    auto *buttons = new QGridLayout;
    const auto button = [this](const char *name, const char *caption) {
        auto *b = new QPushButton(QString::fromLatin1(caption), q);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        return b;
    };
    cmdApplyChanges = button("cmdApplyChanges", "&Apply Changes");
    cmdCancelChanges = button("cmdCancelChanges", "Ca&ncel Changes");
    cmdNewClass = button("cmdNewClass", "Create New C&lass");
    cmdRename = button("cmdRename", "&Rename Class");
    QPushButton *cmdClose = button("cmdClose", "Close");
    buttons->addWidget(cmdApplyChanges, 0, 0);
    buttons->addWidget(cmdCancelChanges, 0, 1);
    buttons->addWidget(cmdNewClass, 1, 0);
    buttons->addWidget(cmdRename, 1, 1);
    buttons->addWidget(cmdClose, 1, 3);
    buttons->setColumnStretch(2, 1);
    layout->addLayout(buttons);

    QObject::connect(cboExtClass, &QComboBox::currentIndexChanged, q, [this] { classPicked(); });
    QObject::connect(fmeOptions, &OptionBoxes::optionClicked, q,
                     [this](int byte, uint8_t bit, bool on) { optionClicked(byte, bit, on); });
    QObject::connect(cmdApplyChanges, &QPushButton::clicked, q, [this] { apply(); });
    QObject::connect(cmdCancelChanges, &QPushButton::clicked, q, [this] { load(loaded); });
    QObject::connect(cmdNewClass, &QPushButton::clicked, q, [this] { newClass(false); });
    QObject::connect(cmdRename, &QPushButton::clicked, q, [this] { newClass(true); });
    QObject::connect(cmdClose, &QPushButton::clicked, q, &QDialog::close);
    setEdited(false);
}

QGroupBox *ClassRightsDialog::Private::buildClassType()
{
    auto *frame = new QGroupBox(QStringLiteral("Class Type"), q);
    auto *box = new QVBoxLayout(frame);
    for (int k = 0; k < 2; ++k) {
        optClass[k] = new QRadioButton(k == 0 ? QStringLiteral("Class \"A\"")
                                              : QStringLiteral("Class \"B\""),
                                       frame);
        optClass[k]->setObjectName(QStringLiteral("optClass_%1").arg(k));
        box->addWidget(optClass[k]);
        // Class of service B is one bit of the options.
        QObject::connect(optClass[k], &QRadioButton::clicked, q,
                         [this, k] { optionClicked(1, ExtCOSB, k == 1); });
    }
    box->addStretch(1);
    return frame;
}

QGroupBox *ClassRightsDialog::Private::buildIcon()
{
    auto *frame = new QGroupBox(QStringLiteral("Icon"), q);
    auto *row = new QHBoxLayout(frame);
    picIcon = new QLabel(frame);
    picIcon->setObjectName(QStringLiteral("picIcon"));
    picIcon->setFixedSize(40, 40);
    picIcon->setAlignment(Qt::AlignCenter);
    picIcon->setFrameShape(QFrame::StyledPanel);
    picIcon->setToolTip(QStringLiteral("Click to choose the picture of the class"));
    picIcon->installEventFilter(q);
    cmdIcon = new QPushButton(QStringLiteral("Change &Icon"), frame);
    cmdIcon->setObjectName(QStringLiteral("cmdIcon"));
    cmdIcon->setAutoDefault(false);
    row->addWidget(picIcon);
    row->addWidget(cmdIcon);
    row->addStretch(1);
    QObject::connect(cmdIcon, &QPushButton::clicked, q, [this] { pickIcon(); });
    return frame;
}

bool ClassRightsDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == d->picIcon && event->type() == QEvent::MouseButtonRelease &&
        d->cmdIcon->isEnabled()) {
        d->pickIcon();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ClassRightsDialog::Private::fillClasses(int select)
{
    Loading = true;
    cboExtClass->clear();
    for (int c = 1; c < MaxClasses; ++c) {
        if (isEditableClass(doc.config, c))
            cboExtClass->addItem(doc.config.ExtClasses[c].Name, c);
    }
    cboExtClass->setCurrentIndex(std::max(cboExtClass->findData(select), 0));
    Loading = false;
    const bool any = cboExtClass->count() > 0;
    for (QWidget *w : std::initializer_list<QWidget *>{fmeOptions, optClass[0], optClass[1],
                                                       cmdIcon, cmdRename})
        w->setEnabled(any);
}

void ClassRightsDialog::Private::selectInCombo(int c)
{
    Loading = true;
    cboExtClass->setCurrentIndex(cboExtClass->findData(c));
    Loading = false;
}

void ClassRightsDialog::Private::classPicked()
{
    if (Loading || cboExtClass->currentIndex() < 0)
        return;
    const int c = cboExtClass->currentData().toInt();
    if (c == loaded)
        return;
    if (!mayLeaveClass()) {
        selectInCombo(loaded);
        return;
    }
    load(c);
}

// Edits not yet applied are stored (Yes) or dropped (No) before the class
// is left; false when the technician stays (Cancel, or the apply was
// cancelled), the edits kept.
bool ClassRightsDialog::Private::mayLeaveClass()
{
    if (!cmdApplyChanges->isEnabled())
        return true;
    const auto answer = prompter().question(
        q, QStringLiteral("Save Changes"), QStringLiteral("Do you want to save the changes?"),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    if (answer == QMessageBox::No)
        load(loaded);
    return answer == QMessageBox::No || (answer == QMessageBox::Yes && apply());
}

void ClassRightsDialog::reject()
{
    if (d->mayLeaveClass())
        QDialog::reject();
}

void ClassRightsDialog::Private::load(int c)
{
    if (c < 0)
        return;
    Loading = true;
    loaded = c;
    EditStatus = loadedRecord().Status;
    EditIcon = loadedRecord().IconName;
    showEdit();
    Loading = false;
    setEdited(false);
}

void ClassRightsDialog::Private::showEdit()
{
    fmeOptions->showStatus(EditStatus);
    optClass[(EditStatus[1] & ExtCOSB) ? 1 : 0]->setChecked(true);
    picIcon->setPixmap(appIcon(EditIcon).pixmap(32, 32));
}

void ClassRightsDialog::Private::setEdited(bool edited)
{
    cmdApplyChanges->setEnabled(edited);
    cmdCancelChanges->setEnabled(edited);
}

void ClassRightsDialog::Private::optionClicked(int byte, uint8_t bit, bool on)
{
    if (Loading || loaded < 0)
        return;
    if (on)
        EditStatus[size_t(byte)] |= bit;
    else
        EditStatus[size_t(byte)] &= uint8_t(~bit);
    setEdited(true);
}

void ClassRightsDialog::Private::pickIcon()
{
    auto *picker = new ClassIconDialog(EditIcon, q);
    placeBeside(picker, picIcon, 8);
    QObject::connect(picker, &QDialog::accepted, q, [this, picker] {
        const QString key = picker->chosenIcon();
        if (key.isEmpty() || key == EditIcon)
            return;
        EditIcon = key;
        showEdit();
        setEdited(true);
    });
    openAndForget(picker);
}

// Stores the edit into the loaded class and carries it over to its
// extensions; false when the technician cancelled (nothing stored).
bool ClassRightsDialog::Private::apply()
{
    if (loaded < 0)
        return false;
    bool stored = false;
    if (liveClassMembers(doc.config, loaded) > 0) {
        if (!storeForMembers())
            return false;
        stored = true;
    }
    if (matchingCustomExtensions(doc.config, EditStatus) > 0) {
        storeForCustomMatches(stored);
    } else if (!stored) {
        Prompt p;
        p.kind = Prompt::Message;
        p.title = updateTitle();
        p.text = QStringLiteral("There are no extensions to be updated");
        p.icon = QMessageBox::Information;
        p.buttons = QMessageBox::Ok | QMessageBox::Cancel;
        if (prompter().ask(q, p) != QMessageBox::Ok)
            return false;
        applyClass(doc.config, loaded, EditStatus, EditIcon, MemberUpdate::FollowClass);
    }
    setEdited(false);
    doc.markChanged(QStringLiteral("Class ") + loadedRecord().Name);
    return true;
}

// The class's live extensions follow it (Yes) or become Custom (No).
bool ClassRightsDialog::Private::storeForMembers()
{
    const int count = liveClassMembers(doc.config, loaded);
    const QString text =
        count == 1 ? QStringLiteral("Are you sure that you want to update 1 Extension?")
                   : QStringLiteral("Are you sure that you want to update %1 Extensions?").arg(count);
    // What each answer does to the extensions, under the question.
    const QString detail =
        count == 1 ? QStringLiteral("Yes: the extension takes the new options of the class.\n"
                                    "No: it becomes a Custom extension and keeps its own options.")
                   : QStringLiteral("Yes: the %1 extensions take the new options of the class.\n"
                                    "No: they become Custom extensions and keep their own options.")
                         .arg(count);
    const auto answer = prompter().question(
        q, updateTitle(), text, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, detail);
    if (answer == QMessageBox::Cancel)
        return false;
    applyClass(doc.config, loaded, EditStatus, EditIcon,
               answer == QMessageBox::Yes ? MemberUpdate::FollowClass : MemberUpdate::MakeCustom);
    return true;
}

// Custom extensions with exactly the class's options may join it; the class
// keeps its edit whichever the answer.
void ClassRightsDialog::Private::storeForCustomMatches(bool &stored)
{
    const int count = matchingCustomExtensions(doc.config, EditStatus);
    const QString text =
        count == 1 ? QStringLiteral("There is 1 custom class extension matching this class.\n"
                                    "Do you want to update the class type?")
                   : QStringLiteral("There are %1 custom class extensions matching this class.\n"
                                    "Do you want to update the class types?")
                         .arg(count);
    const auto answer =
        prompter().question(q, updateTitle(), text, QMessageBox::Yes | QMessageBox::No);
    if (!stored)
        applyClass(doc.config, loaded, EditStatus, EditIcon, MemberUpdate::FollowClass);
    stored = true;
    if (answer == QMessageBox::Yes)
        adoptMatchingCustom(doc.config, loaded);
}

void ClassRightsDialog::Private::newClass(bool rename)
{
    if (!rename && !classRoomLeft(doc.config)) {
        prompter().message(q, QStringLiteral("Add New Class"),
                           classNameProblemText(ClassNameProblem::NoRoom),
                           QMessageBox::Information);
        return;
    }
    auto *dialog = new NewClassDialog(doc, rename ? loaded : -1, loaded, q);
    QObject::connect(dialog, &QDialog::accepted, q, [this, dialog] {
        const int c = dialog->selectedClass();
        fillClasses(loaded);
        // A new class is shown at once (asking first about edits of the old one).
        cboExtClass->setCurrentIndex(cboExtClass->findData(c));
    });
    openAndForget(dialog);
}
