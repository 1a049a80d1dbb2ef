#include "ExtensionPane.h"

#include "ConfigDocument.h"
#include "Equipment.h"
#include "Names.h"
#include "NumberUse.h"
#include "OptionBoxes.h"
#include "OptionNames.h"
#include "PaneSupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

using namespace tidelex;
using panes::setFieldError;

struct ExtensionPane::Private {
    ExtensionPane *q;
    ConfigDocument &doc;
    int index = -1;
    bool updating = false;

    QLineEdit *txtExtName, *txtExtNo, *txtExtDD, *txtEquip, *txtExtBoard, *txtExtPort;
    QComboBox *cboExtClass, *cboExtGroup;
    QLabel *labGA, *labExtDD;
    OptionBoxes *fmeExtOpts;
    QCheckBox *chkSubC[4];

    Private(ExtensionPane *pane, ConfigDocument &document) : q(pane), doc(document) {}

    Configuration &cfg() { return doc.config; }
    ExtRecord &ext() { return doc.config.Extensions[index]; }
    QString key() const { return extensionKey(index); }

    void build();
    QGroupBox *informationBox();
    QGroupBox *optionsBox();
    QGroupBox *classTypeBox();
    void fill();
    QString validate();
    void changed(const QString &field) { panes::markEdited(doc, key(), field); }

    void commitName();
    void commitNumber();
    void commitHotLine();
    void classChosen();
    void groupChosen();
    void optionClicked(int byte, uint8_t bit, bool on);
};

ExtensionPane::ExtensionPane(ConfigDocument &doc, QWidget *parent)
    : EditPane(parent), d(std::make_unique<Private>(this, doc))
{
    setObjectName(QStringLiteral("vspData1"));
    d->build();
    panes::guardCodePage(d->txtExtName, [this](const QString &w) { emit statusMessage(w); });
}

ExtensionPane::~ExtensionPane()
{
    panes::detachChildren(this);
}

void ExtensionPane::Private::build()
{
    auto *layout = new QVBoxLayout(q);
    layout->addWidget(informationBox());
    layout->addWidget(optionsBox());
    layout->addWidget(classTypeBox());
    layout->addStretch(1);
    q->setEnabled(false);
}

QGroupBox *ExtensionPane::Private::informationBox()
{
    auto *info = new QGroupBox(QStringLiteral("Information"), q);
    auto *grid = new QGridLayout(info);
    txtExtName = new QLineEdit(info);
    txtExtName->setObjectName(QStringLiteral("txtExtName"));
    txtExtNo = new QLineEdit(info);
    txtExtNo->setObjectName(QStringLiteral("txtExtNo"));
    txtExtNo->setMaxLength(6);
    txtExtNo->setMaximumWidth(120);
    labGA = new QLabel(QStringLiteral("(Guaranteed Access)"), info);
    labGA->setObjectName(QStringLiteral("labGA"));
    cboExtClass = new QComboBox(info);
    cboExtClass->setObjectName(QStringLiteral("cboExtClass"));
    cboExtGroup = new QComboBox(info);
    cboExtGroup->setObjectName(QStringLiteral("cboExtGroup"));
    txtExtDD = new QLineEdit(info);
    txtExtDD->setObjectName(QStringLiteral("txtExtDD"));
    txtExtDD->setMaxLength(6);
    txtExtDD->setMaximumWidth(120);
    labExtDD = new QLabel(QStringLiteral("Hotline to:"), info);
    txtEquip = panes::readOnlyBox(info, "txtEquip");
    txtExtBoard = panes::readOnlyBox(info, "txtExtBoard");
    txtExtPort = panes::readOnlyBox(info, "txtExtPort");

    grid->addWidget(new QLabel(QStringLiteral("Name:"), info), 0, 0);
    grid->addWidget(txtExtName, 0, 1, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Ext No:"), info), 1, 0);
    grid->addWidget(txtExtNo, 1, 1);
    grid->addWidget(labGA, 1, 2, 1, 5);
    grid->addWidget(new QLabel(QStringLiteral("Class:"), info), 2, 0);
    grid->addWidget(cboExtClass, 2, 1, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Group:"), info), 3, 0);
    grid->addWidget(cboExtGroup, 3, 1, 1, 6);
    grid->addWidget(labExtDD, 4, 0);
    grid->addWidget(txtExtDD, 4, 1);
    grid->addWidget(new QLabel(QStringLiteral("Equip:"), info), 5, 0);
    grid->addWidget(txtEquip, 5, 1);
    grid->addWidget(new QLabel(QStringLiteral("Board:"), info), 5, 2);
    grid->addWidget(txtExtBoard, 5, 3);
    grid->addWidget(new QLabel(QStringLiteral("Port:"), info), 5, 4);
    grid->addWidget(txtExtPort, 5, 5);
    grid->setColumnStretch(6, 1); // the short boxes keep their width

    QObject::connect(txtExtName, &QLineEdit::editingFinished, q, [this] { commitName(); });
    QObject::connect(txtExtNo, &QLineEdit::editingFinished, q, [this] { commitNumber(); });
    QObject::connect(txtExtDD, &QLineEdit::editingFinished, q, [this] { commitHotLine(); });
    QObject::connect(cboExtClass, &QComboBox::currentIndexChanged, q, [this] { classChosen(); });
    QObject::connect(cboExtGroup, &QComboBox::currentIndexChanged, q, [this] { groupChosen(); });
    return info;
}

QGroupBox *ExtensionPane::Private::optionsBox()
{
    fmeExtOpts = new OptionBoxes(q);
    fmeExtOpts->setObjectName(QStringLiteral("fmeExtOpts"));
    QObject::connect(fmeExtOpts, &OptionBoxes::optionClicked, q,
                     [this](int byte, uint8_t bit, bool on) { optionClicked(byte, bit, on); });
    return fmeExtOpts;
}

QGroupBox *ExtensionPane::Private::classTypeBox()
{
    auto *flags = new QGroupBox(QStringLiteral("Class Type"), q);
    auto *flagRow = new QGridLayout(flags);
    flagRow->addWidget(new QLabel(QStringLiteral("Internal Flags"), flags), 0, 0, 1, 4);
    for (int k = 0; k < 4; ++k) {
        chkSubC[k] = new QCheckBox(QLatin1String(extensionClassFlags[k].caption), flags);
        chkSubC[k]->setObjectName(QStringLiteral("chkSubC_%1").arg(k));
        // Shown, not edited: the class decides these bits.
        chkSubC[k]->setAttribute(Qt::WA_TransparentForMouseEvents);
        chkSubC[k]->setFocusPolicy(Qt::NoFocus);
        flagRow->addWidget(chkSubC[k], 1, k);
    }
    return flags;
}

void ExtensionPane::showRecord(int index)
{
    if (index < 0 || index >= MaxExtensions)
        return;
    commitPending();
    d->index = index;
    setEnabled(true);
    d->fill();
    const QString warning = d->validate();
    if (!warning.isEmpty())
        emit statusMessage(warning);
}

int ExtensionPane::currentIndex() const
{
    return d->index;
}

void ExtensionPane::commitPending()
{
    if (d->index < 0)
        return;
    if (d->txtExtName->isModified())
        d->commitName();
    if (d->txtExtNo->isModified())
        d->commitNumber();
    if (d->txtExtDD->isModified())
        d->commitHotLine();
}

void ExtensionPane::Private::fill()
{
    updating = true;
    Configuration &c = cfg();
    const ExtRecord &e = ext();
    txtExtName->setText(e.Name);
    txtExtNo->setText(QString::number(e.ExtNum));
    setFieldError(txtExtNo, false);

    cboExtClass->clear();
    for (int k = 0; k < MaxClasses; ++k) {
        if (c.ExtClasses[k].Active)
            cboExtClass->addItem(c.ExtClasses[k].Name, k);
    }
    cboExtClass->setCurrentIndex(cboExtClass->findData(int(e.Class)));
    const bool fixed = e.Class >= 0 && e.Class < MaxClasses && c.ExtClasses[e.Class].Fixed;
    fmeExtOpts->setEnabled(!fixed);

    txtEquip->setText(QString::number(index));
    txtExtBoard->setText(boardNumberText(index / ExtsPerBoard + 1));
    txtExtBoard->setToolTip(slotTitle(extensionSlot(index)));
    txtExtPort->setText(QString::number(extensionPort(index)));

    fmeExtOpts->showStatus(e.Status);
    for (int k = 0; k < 4; ++k)
        chkSubC[k]->setChecked(e.Status[extensionClassFlags[k].byte] & extensionClassFlags[k].bit);

    const bool hotLine = e.Status[4] & ExtHotLine;
    txtExtDD->setText(QString::number(e.DirectDial));
    txtExtDD->setVisible(hotLine);
    labExtDD->setVisible(hotLine);

    // Groups an extension may name: Multiple Call Forward and Hunt groups;
    // a Pickup group only when it already is the extension's own.
    cboExtGroup->clear();
    cboExtGroup->addItem(QString(), 0);
    for (int g = 0; g < MaxGroups; ++g) {
        const GroupRecord &grp = c.Groups[g];
        if (!grp.Active || grp.DirNum < 1)
            continue;
        if (grp.Type == GroupPickup && grp.DirNum != e.Group)
            continue;
        cboExtGroup->addItem(grp.Name, int(grp.DirNum));
    }
    int selected = cboExtGroup->findData(int(e.Group));
    if (selected < 0) {
        // A group number that no usable group carries stays visible (and red)
        // instead of being shown as "no group".
        cboExtGroup->addItem(getNameFromExt(c, e.Group), int(e.Group));
        selected = cboExtGroup->count() - 1;
    }
    cboExtGroup->setCurrentIndex(selected);
    updating = false;
}

// Recolours the fields; returns the status-bar warning the record deserves.
QString ExtensionPane::Private::validate()
{
    const Configuration &c = doc.config;
    const ExtRecord &e = c.Extensions[index];
    QString warning;

    // The red fields are what the checker reports about this extension.
    const NumberFinding number = extensionNumberFinding(c, index);
    if (number == NumberFinding::Invalid)
        warning = QStringLiteral("WARNING: Invalid Extension Number");
    else if (number == NumberFinding::InUse)
        warning = QStringLiteral("WARNING: Extension Number %1 Already in Use").arg(e.ExtNum);
    setFieldError(txtExtNo, number != NumberFinding::None);
    setFieldError(txtExtDD, hotLineFinding(c, index) != HotLineFinding::None);
    setFieldError(cboExtGroup, extensionGroupBad(c, index));

    bool guaranteed = false;
    for (int k = 0; k < GAEntries; ++k)
        guaranteed = guaranteed || c.SysConfig.GA[k] == e.ExtNum;
    labGA->setVisible(guaranteed);
    return warning;
}

void ExtensionPane::Private::commitName()
{
    if (updating || index < 0)
        return;
    txtExtName->setModified(false);
    const QString text = txtExtName->text().trimmed();
    if (text != ext().Name) {
        ext().Name = text;
        ext().TrueName = true;
        changed(QStringLiteral("Name"));
        emit q->nodeTextChanged(key(), text);
    }
    panes::selectWholeText(txtExtName);
    emit q->statusMessage(validate());
}

void ExtensionPane::Private::commitNumber()
{
    if (updating || index < 0)
        return;
    txtExtNo->setModified(false);
    const QString text = txtExtNo->text().trimmed();
    const auto number = panes::parseNumber(text);
    QString message;
    if (!number || !isExtensionNumber(*number))
        message =
            QStringLiteral("WARNING: Extension Number ") + text + QStringLiteral(" is invalid");
    if (number) {
        if (*number != ext().ExtNum) {
            ext().ExtNum = *number;
            changed(QStringLiteral("Ext No"));
        }
    } else {
        // Text that is no 16-bit number cannot be stored: show what is kept.
        txtExtNo->setText(QString::number(ext().ExtNum));
    }
    panes::selectWholeText(txtExtNo);
    const QString warning = validate();
    emit q->statusMessage(message.isEmpty() ? warning : message);
}

void ExtensionPane::Private::commitHotLine()
{
    if (updating || index < 0)
        return;
    txtExtDD->setModified(false);
    const QString text = txtExtDD->text().trimmed();
    const auto number = text.isEmpty() ? std::optional<int16_t>(0) : panes::parseNumber(text);
    QString message;
    if (!number) {
        message =
            QStringLiteral("WARNING: Extension Number ") + text + QStringLiteral(" is invalid");
    } else {
        if (*number == ext().ExtNum)
            message = QStringLiteral("ERROR: Hotline accessing itself!");
        else if (findLiveExtension(cfg(), *number) < 0)
            message = QStringLiteral("WARNING: Extension Number ") + text +
                      QStringLiteral(" not Found in system");
        // Stored whether found or not: the checker keeps reporting it.
        if (*number != ext().DirectDial) {
            ext().DirectDial = *number;
            changed(QStringLiteral("Hotline to"));
        }
    }
    fill();
    const QString warning = validate();
    emit q->statusMessage(message.isEmpty() ? warning : message);
}

void ExtensionPane::Private::classChosen()
{
    if (updating || index < 0 || cboExtClass->currentIndex() < 0)
        return;
    const int cls = cboExtClass->currentData().toInt();
    ext().Class = int16_t(cls);
    // Custom keeps the extension's own options; any other class gives its own.
    if (cls != ClassCustom) {
        for (int b = 0; b < ExtStatusBytes; ++b)
            ext().Status[b] = cfg().ExtClasses[cls].Status[b];
    }
    changed(QStringLiteral("Class"));
    fill();
    emit q->statusMessage(validate());
    emit q->nodeDisabledChanged(key(), cls == ClassDisabled);
}

void ExtensionPane::Private::groupChosen()
{
    if (updating || index < 0 || cboExtGroup->currentIndex() < 0)
        return;
    ext().Group = int16_t(cboExtGroup->currentData().toInt());
    changed(QStringLiteral("Group"));
    emit q->statusMessage(validate());
}

void ExtensionPane::Private::optionClicked(int byte, uint8_t bit, bool on)
{
    if (updating || index < 0)
        return;
    // Any option of its own makes the extension a Custom one.
    updating = true;
    cboExtClass->setCurrentIndex(cboExtClass->findData(ClassCustom));
    updating = false;
    ext().Class = ClassCustom;
    if (on)
        ext().Status[byte] |= bit;
    else
        ext().Status[byte] &= uint8_t(~bit);
    changed(optionCaption(byte, bit));
}
