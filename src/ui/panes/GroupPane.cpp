#include "GroupPane.h"

#include "ChoiceDelegate.h"
#include "ConfigDocument.h"
#include "Equipment.h"
#include "Names.h"
#include "PaneSupport.h"
#include "Prompter.h"
#include "TypeNames.h"
#include "WindowPlacement.h"
#include "GroupMembersDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace tidelex;

namespace
{

// Member rows the grid offers. The exchange keeps up to twelve members per
// group, so the editor offers all twelve: a group read from a file with
// twelve members keeps the last one when another member is edited.
constexpr int MemberRows = MaxGroupMembers;
} // namespace

struct GroupPane::Private {
    GroupPane *q;
    ConfigDocument &doc;
    int index = -1;
    bool updating = false;

    QLineEdit *txtGrpName, *txtGrpDir, *txtGrpNum, *txtGroupLead;
    QCheckBox *chkGrpActive;
    QComboBox *cboGrpType;
    QLabel *labGroupLead;
    QPushButton *cmdGrpSelect;
    QGroupBox *fmeGrpExts;
    QTableWidget *vsGroupExt;

    Private(GroupPane *pane, ConfigDocument &document) : q(pane), doc(document) {}

    GroupRecord &group() { return doc.config.Groups[index]; }
    // Active extensions 0..119 that name this group in their Group field.
    QList<int> usersOfGroup() const;

    void build();
    QGroupBox *informationBox();
    QGroupBox *membersBox();
    void fill();
    void validate();
    void changed(const QString &field) { panes::markEdited(doc, groupKey(index), field); }

    void commitName();
    void typeChosen();
    void activeClicked(bool on);
    void cellEdited(QTableWidgetItem *item);
    void selectUsers();
};

GroupPane::GroupPane(ConfigDocument &doc, QWidget *parent)
    : EditPane(parent), d(std::make_unique<Private>(this, doc))
{
    setObjectName(QStringLiteral("vspData2"));
    d->build();
    panes::guardCodePage(d->txtGrpName, [this](const QString &w) { emit statusMessage(w); });
}

GroupPane::~GroupPane()
{
    panes::detachChildren(this);
}

void GroupPane::Private::build()
{
    auto *layout = new QVBoxLayout(q);
    layout->addWidget(informationBox());
    layout->addWidget(membersBox(), 1);
    layout->addStretch(0);
    q->setEnabled(false);
}

QGroupBox *GroupPane::Private::informationBox()
{
    auto *info = new QGroupBox(QStringLiteral("Information"), q);
    auto *grid = new QGridLayout(info);
    txtGrpName = new QLineEdit(info);
    txtGrpName->setObjectName(QStringLiteral("txtGrpName"));
    chkGrpActive = new QCheckBox(QStringLiteral("Enabled"), info);
    chkGrpActive->setObjectName(QStringLiteral("chkGrpActive"));
    cboGrpType = new QComboBox(info);
    cboGrpType->setObjectName(QStringLiteral("cboGrpType"));
    for (const GroupTypeNames &type : groupTypes)
        cboGrpType->addItem(QLatin1String(type.paneName), int(type.type));
    txtGrpDir = panes::readOnlyBox(info, "txtGrpDir");
    txtGrpNum = panes::readOnlyBox(info, "txtGrpNum");
    labGroupLead = new QLabel(QStringLiteral("Extensions which use this group"), info);
    labGroupLead->setObjectName(QStringLiteral("labGroupLead"));
    txtGroupLead = new QLineEdit(info);
    txtGroupLead->setObjectName(QStringLiteral("txtGroupLead"));
    panes::showAsReadOnly(txtGroupLead);
    cmdGrpSelect = new QPushButton(QStringLiteral("Select..."), info);
    cmdGrpSelect->setObjectName(QStringLiteral("cmdGrpSelect"));
    cmdGrpSelect->setToolTip(QStringLiteral("Choose the extensions which use this group"));

    grid->addWidget(new QLabel(QStringLiteral("Name:"), info), 0, 0);
    grid->addWidget(txtGrpName, 0, 1, 1, 4);
    grid->addWidget(chkGrpActive, 0, 5);
    grid->addWidget(new QLabel(QStringLiteral("Type:"), info), 1, 0);
    grid->addWidget(cboGrpType, 1, 1, 1, 4);
    grid->addWidget(new QLabel(QStringLiteral("Dir No:"), info), 2, 0);
    grid->addWidget(txtGrpDir, 2, 1);
    grid->addWidget(new QLabel(QStringLiteral("Group:"), info), 2, 2);
    grid->addWidget(txtGrpNum, 2, 3);
    grid->addWidget(labGroupLead, 3, 0, 1, 6);
    grid->addWidget(txtGroupLead, 4, 0, 1, 5);
    grid->addWidget(cmdGrpSelect, 4, 5);
    grid->setColumnStretch(4, 1); // the short boxes keep their width

    QObject::connect(txtGrpName, &QLineEdit::editingFinished, q, [this] { commitName(); });
    QObject::connect(cboGrpType, &QComboBox::currentIndexChanged, q, [this] { typeChosen(); });
    QObject::connect(chkGrpActive, &QCheckBox::clicked, q, [this](bool on) { activeClicked(on); });
    QObject::connect(cmdGrpSelect, &QPushButton::clicked, q, [this] { selectUsers(); });
    return info;
}

QGroupBox *GroupPane::Private::membersBox()
{
    fmeGrpExts = new QGroupBox(QStringLiteral("Extensions"), q);
    fmeGrpExts->setObjectName(QStringLiteral("fmeGrpExts"));
    auto *members = new QVBoxLayout(fmeGrpExts);
    vsGroupExt = new QTableWidget(MemberRows, 2, fmeGrpExts);
    vsGroupExt->setObjectName(QStringLiteral("vsGroupExt"));
    vsGroupExt->setHorizontalHeaderLabels({QStringLiteral("Ext No"), QStringLiteral("Name")});
    vsGroupExt->horizontalHeader()->setStretchLastSection(true);
    vsGroupExt->setSelectionMode(QAbstractItemView::SingleSelection);
    vsGroupExt->setItemDelegate(new ChoiceDelegate(
        [this](int, int column) {
            return column == 0 ? panes::extensionNumberChoices(doc.config)
                               : panes::extensionNameChoices(doc.config);
        },
        vsGroupExt));
    panes::ensureItems(vsGroupExt);
    vsGroupExt->setMinimumHeight(vsGroupExt->horizontalHeader()->sizeHint().height() +
                                 6 * vsGroupExt->verticalHeader()->defaultSectionSize());
    members->addWidget(vsGroupExt);

    QObject::connect(vsGroupExt, &QTableWidget::itemChanged, q,
                     [this](QTableWidgetItem *item) { cellEdited(item); });
    return fmeGrpExts;
}

void GroupPane::showRecord(int index)
{
    if (index < 0 || index >= MaxGroups)
        return;
    commitPending();
    d->index = index;
    setEnabled(true);
    d->fill();
}

int GroupPane::currentIndex() const
{
    return d->index;
}

void GroupPane::commitPending()
{
    if (d->index >= 0 && d->txtGrpName->isModified())
        d->commitName();
}

QList<int> GroupPane::Private::usersOfGroup() const
{
    QList<int> users;
    const Configuration &c = doc.config;
    const int dirNum = c.Groups[index].DirNum;
    for (int i = 0; i < MaxExtensions; ++i) {
        if (c.Extensions[i].Active && c.Extensions[i].Group == dirNum)
            users.append(i);
    }
    return users;
}

void GroupPane::Private::fill()
{
    updating = true;
    const Configuration &c = doc.config;
    const GroupRecord &g = c.Groups[index];
    txtGrpName->setText(g.Name);
    fmeGrpExts->setVisible(g.Active);
    txtGrpName->setEnabled(g.Active);
    cboGrpType->setEnabled(g.Active);
    chkGrpActive->setChecked(g.Active);
    cboGrpType->setCurrentIndex(cboGrpType->findData(int(g.Type)));

    const bool pickup = g.Type == GroupPickup;
    txtGroupLead->setText(pickup ? QStringLiteral("Not used for pickup groups")
                                 : groupUsersText(c, index));
    txtGroupLead->setEnabled(!pickup);
    labGroupLead->setEnabled(!pickup);
    // Extensions can name only a group that is in use and has a number.
    cmdGrpSelect->setEnabled(!pickup && g.Active && g.DirNum > 0);

    txtGrpDir->setText(QString::number(g.DirNum));
    txtGrpNum->setText(QString::number(index));
    const int used = qBound(0, int(g.Num), MemberRows);
    for (int row = 0; row < MemberRows; ++row) {
        const int number = row < used ? g.Exts[row] : -1;
        const bool shown = number > 0;
        panes::setCellText(vsGroupExt, row, 0, shown ? QString::number(number) : QString());
        panes::setCellText(vsGroupExt, row, 1, shown ? getNameFromExt(c, number) : QString());
    }
    updating = false;
    validate();
}

// Red rows: members that name no live extension, and every pair of rows
// holding the same number.
void GroupPane::Private::validate()
{
    updating = true;
    const Configuration &c = doc.config;
    const GroupRecord &g = c.Groups[index];
    const int used = qBound(0, int(g.Num), MemberRows);
    QList<bool> bad(MemberRows, false);
    for (int m = 0; m < used; ++m) {
        if (findLiveExtension(c, g.Exts[m]) < 0)
            bad[m] = true;
        for (int m2 = m + 1; m2 < used; ++m2) {
            if (g.Exts[m2] == g.Exts[m])
                bad[m] = bad[m2] = true;
        }
    }
    for (int row = 0; row < MemberRows; ++row) {
        for (int col = 0; col < 2; ++col)
            panes::paintCellError(vsGroupExt->item(row, col), bad[row]);
    }
    updating = false;
}

void GroupPane::Private::commitName()
{
    if (updating || index < 0)
        return;
    txtGrpName->setModified(false);
    const QString text = txtGrpName->text().trimmed();
    if (text != group().Name) {
        group().Name = text;
        changed(QStringLiteral("Name"));
        emit q->nodeTextChanged(groupKey(index), text);
    }
    panes::selectWholeText(txtGrpName);
}

void GroupPane::Private::typeChosen()
{
    if (updating || index < 0 || cboGrpType->currentIndex() < 0)
        return;
    const int type = cboGrpType->currentData().toInt();
    if (type == GroupPickup && !usersOfGroup().isEmpty()) {
        const auto answer = prompter().question(
            q, QStringLiteral("Change Group Type"),
            QStringLiteral("This group is in use.\nAre you sure that you want to change it to "
                           "a Pickup group?"),
            QMessageBox::Yes | QMessageBox::No);
        if (answer != QMessageBox::Yes) {
            fill(); // puts the old type back in the combo
            return;
        }
    }
    if (type != group().Type) {
        group().Type = int16_t(type);
        changed(QStringLiteral("Type"));
    }
    fill();
}

void GroupPane::Private::activeClicked(bool on)
{
    if (updating || index < 0)
        return;
    if (!on) {
        // One question per extension that still uses the group; the first
        // No keeps the group on.
        for (int i = 0; i < usersOfGroup().size(); ++i) {
            const auto answer = prompter().question(
                q, QStringLiteral("Disable Group"),
                QStringLiteral("This group is in use.\nAre you sure that you want to disable it?"),
                QMessageBox::Yes | QMessageBox::No);
            if (answer != QMessageBox::Yes) {
                fill();
                return;
            }
        }
    }
    group().Active = on;
    changed(QStringLiteral("Enabled"));
    emit q->nodeDisabledChanged(groupKey(index), !on);
    fill();
}

void GroupPane::Private::cellEdited(QTableWidgetItem *item)
{
    if (updating || index < 0 || !item)
        return;
    GroupRecord &g = group();
    const int row = item->row();
    // Entries past the member count are not members: they must not come back
    // to life when the list is closed up.
    for (int m = qBound(0, int(g.Num), MemberRows); m < MemberRows; ++m)
        g.Exts[m] = -1;
    const auto value = panes::valueFromCell(item->text(), panes::extensionNameChoices(doc.config));
    g.Exts[row] = value && *value > 0 ? int16_t(*value) : int16_t(-1);

    // Close up the gaps: members keep their order, empties go to the end.
    int used = 0;
    for (int m = 0; m < MemberRows; ++m) {
        if (g.Exts[m] > 0)
            g.Exts[used++] = g.Exts[m];
    }
    for (int m = used; m < MemberRows; ++m)
        g.Exts[m] = -1;
    g.Num = int16_t(used);
    changed(QStringLiteral("Members"));
    fill();
}

void GroupPane::Private::selectUsers()
{
    auto *dialog = new GroupMembersDialog(doc, index, q);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    placeBeside(dialog, cmdGrpSelect);
    const int shown = index;
    QObject::connect(dialog, &QDialog::accepted, q, [this, shown] {
        if (index == shown)
            fill();
    });
    dialog->open();
}
