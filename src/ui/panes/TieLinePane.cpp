#include "TieLinePane.h"

#include "ChoiceDelegate.h"
#include "ConfigDocument.h"
#include "Equipment.h"
#include "Names.h"
#include "PaneSupport.h"
#include "TypeNames.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QVBoxLayout>

using namespace tidelex;
using panes::setFieldError;

namespace
{

QString numberText(int n)
{
    return n == 0 ? QString() : QString::number(n);
}

} // namespace

struct TieLinePane::Private {
    TieLinePane *q;
    ConfigDocument &doc;
    int index = -1;
    bool updating = false;

    QLineEdit *txtTieName, *txtTieDir, *txtTieEquip, *txtTieBoard, *txtTiePort;
    QComboBox *cboTieClass;
    QTableWidget *vsTieExt;
    QCheckBox *chkTieDTMF, *chkTieDDI, *chkTieMCF, *chkTie9, *chkTie6[8];

    Private(TieLinePane *pane, ConfigDocument &document) : q(pane), doc(document) {}

    TieRecord &tie() { return doc.config.TieLines[index]; }

    void build();
    QGroupBox *informationBox();
    QGroupBox *outgoingBox();
    QGroupBox *incomingBox();
    void fill();
    void validate();
    void changed(const QString &field) { panes::markEdited(doc, tieLineKey(index), field); }

    void commitName();
    void classChosen();
    void cellEdited(QTableWidgetItem *item);
    void setStatusBit(const QString &field, uint8_t bits, bool on);
    // Row 1 offers groups instead of extensions while "Call MCF Group" is ticked.
    bool rowOffersGroups(int row) const { return row == 1 && chkTieMCF->isChecked(); }
    panes::ChoiceList choices(int row, int column) const;
};

TieLinePane::TieLinePane(ConfigDocument &doc, QWidget *parent)
    : EditPane(parent), d(std::make_unique<Private>(this, doc))
{
    setObjectName(QStringLiteral("vspData0"));
    d->build();
    panes::guardCodePage(d->txtTieName, [this](const QString &w) { emit statusMessage(w); });
}

TieLinePane::~TieLinePane()
{
    panes::detachChildren(this);
}

void TieLinePane::Private::build()
{
    auto *layout = new QVBoxLayout(q);
    layout->addWidget(informationBox());
    layout->addWidget(outgoingBox());
    layout->addWidget(incomingBox());
    layout->addStretch(1);
    q->setEnabled(false);
}

QGroupBox *TieLinePane::Private::informationBox()
{
    auto *info = new QGroupBox(QStringLiteral("Information"), q);
    auto *grid = new QGridLayout(info);
    txtTieName = new QLineEdit(info);
    txtTieName->setObjectName(QStringLiteral("txtTieName"));
    txtTieDir = panes::readOnlyBox(info, "txtTieDir");
    cboTieClass = new QComboBox(info);
    cboTieClass->setObjectName(QStringLiteral("cboTieClass"));
    for (const TieClassNames &cls : builtInTieClasses)
        cboTieClass->addItem(QLatin1String(cls.paneName), cls.index);
    txtTieEquip = panes::readOnlyBox(info, "txtTieEquip");
    txtTieBoard = panes::readOnlyBox(info, "txtTieBoard");
    txtTiePort = panes::readOnlyBox(info, "txtTiePort");
    grid->addWidget(new QLabel(QStringLiteral("Name:"), info), 0, 0);
    grid->addWidget(txtTieName, 0, 1, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Dir No:"), info), 1, 0);
    grid->addWidget(txtTieDir, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("Type:"), info), 2, 0);
    grid->addWidget(cboTieClass, 2, 1, 1, 6);
    grid->addWidget(new QLabel(QStringLiteral("Equip:"), info), 3, 0);
    grid->addWidget(txtTieEquip, 3, 1);
    grid->addWidget(new QLabel(QStringLiteral("Board:"), info), 3, 2);
    grid->addWidget(txtTieBoard, 3, 3);
    grid->addWidget(new QLabel(QStringLiteral("Port:"), info), 3, 4);
    grid->addWidget(txtTiePort, 3, 5);
    grid->setColumnStretch(6, 1); // the short boxes keep their width

    QObject::connect(txtTieName, &QLineEdit::editingFinished, q, [this] { commitName(); });
    QObject::connect(cboTieClass, &QComboBox::currentIndexChanged, q, [this] { classChosen(); });
    return info;
}

QGroupBox *TieLinePane::Private::outgoingBox()
{
    auto *outgoing = new QGroupBox(QStringLiteral("Outgoing"), q);
    auto *out = new QGridLayout(outgoing);
    chkTieDTMF = new QCheckBox(QStringLiteral("DTMF"), outgoing);
    chkTieDTMF->setObjectName(QStringLiteral("chkTieDTMF"));
    chkTie9 = new QCheckBox(QStringLiteral("Dial 9"), outgoing);
    chkTie9->setObjectName(QStringLiteral("chkTie9"));
    out->addWidget(chkTieDTMF, 0, 0);
    out->addWidget(chkTie9, 0, 1);
    out->addWidget(new QLabel(QStringLiteral("Reached by dialling:"), outgoing), 1, 0, 1, 4);
    for (int k = 0; k < Dial6Codes; ++k) {
        chkTie6[k] = new QCheckBox(QString::number(61 + k), outgoing);
        chkTie6[k]->setObjectName(QStringLiteral("chkTie6_%1").arg(k));
        out->addWidget(chkTie6[k], 2 + k / 4, k % 4);
        QObject::connect(chkTie6[k], &QCheckBox::clicked, q, [this, k](bool on) {
            if (updating || index < 0)
                return;
            tie().Dial6[k] = on;
            changed(QStringLiteral("Dial %1").arg(61 + k));
            validate(); // the Dial-6 limits depend on it
        });
    }

    QObject::connect(chkTie9, &QCheckBox::clicked, q, [this](bool on) {
        if (updating || index < 0)
            return;
        tie().Dial9 = on;
        changed(QStringLiteral("Dial 9"));
    });
    QObject::connect(chkTieDTMF, &QCheckBox::clicked, q,
                     [this](bool on) { setStatusBit(QStringLiteral("DTMF"), TieDTMF, on); });
    return outgoing;
}

QGroupBox *TieLinePane::Private::incomingBox()
{
    auto *incoming = new QGroupBox(QStringLiteral("Incoming"), q);
    auto *in = new QGridLayout(incoming);
    chkTieDDI = new QCheckBox(QStringLiteral("Direct Dial In"), incoming);
    chkTieDDI->setObjectName(QStringLiteral("chkTieDDI"));
    chkTieMCF = new QCheckBox(QStringLiteral("Call MCF Group"), incoming);
    chkTieMCF->setObjectName(QStringLiteral("chkTieMCF"));
    vsTieExt = new QTableWidget(2, 2, incoming);
    vsTieExt->setObjectName(QStringLiteral("vsTieExt"));
    vsTieExt->setHorizontalHeaderLabels({QStringLiteral("Ext No"), QStringLiteral("Name")});
    vsTieExt->setVerticalHeaderLabels(
        {QStringLiteral("Default Ext"), QStringLiteral("2nd Designated")});
    vsTieExt->horizontalHeader()->setStretchLastSection(true);
    vsTieExt->setSelectionMode(QAbstractItemView::SingleSelection);
    vsTieExt->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vsTieExt->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vsTieExt->setItemDelegate(
        new ChoiceDelegate([this](int row, int column) { return choices(row, column); }, vsTieExt));
    panes::ensureItems(vsTieExt);
    const int gridHeight = vsTieExt->horizontalHeader()->sizeHint().height() +
                           2 * vsTieExt->verticalHeader()->defaultSectionSize() +
                           2 * vsTieExt->frameWidth();
    vsTieExt->setFixedHeight(gridHeight);
    in->addWidget(chkTieDDI, 0, 0);
    in->addWidget(chkTieMCF, 0, 1);
    in->addWidget(vsTieExt, 1, 0, 1, 2);

    QObject::connect(chkTieDDI, &QCheckBox::clicked, q, [this](bool on) {
        setStatusBit(QStringLiteral("Direct Dial In"), TieDDI, on);
    });
    QObject::connect(vsTieExt, &QTableWidget::itemChanged, q,
                     [this](QTableWidgetItem *item) { cellEdited(item); });
    return incoming;
}

panes::ChoiceList TieLinePane::Private::choices(int row, int column) const
{
    const Configuration &c = doc.config;
    if (rowOffersGroups(row))
        return column == 0 ? panes::groupNumberChoices(c) : panes::groupNameChoices(c);
    return column == 0 ? panes::extensionNumberChoices(c) : panes::extensionNameChoices(c);
}

void TieLinePane::showRecord(int index)
{
    if (index < 0 || index >= MaxTieLines)
        return;
    commitPending();
    d->index = index;
    setEnabled(true);
    d->fill();
}

int TieLinePane::currentIndex() const
{
    return d->index;
}

void TieLinePane::commitPending()
{
    if (d->index >= 0 && d->txtTieName->isModified())
        d->commitName();
}

void TieLinePane::Private::fill()
{
    updating = true;
    const Configuration &c = doc.config;
    const TieRecord &t = tie();
    txtTieName->setText(t.Name);
    txtTieDir->setText(QString::number(t.DirNum));
    cboTieClass->setCurrentIndex(cboTieClass->findData(int(t.Class)));

    const int16_t ext[2] = {t.Ext1, t.Ext2};
    for (int row = 0; row < 2; ++row) {
        panes::setCellText(vsTieExt, row, 0, numberText(ext[row]));
        panes::setCellText(vsTieExt, row, 1, getNameFromExt(c, ext[row]));
    }
    // Public address and pager lines have no incoming side.
    const bool incoming = t.Class != TieClassPA && t.Class != TieClassPager;
    vsTieExt->setEnabled(incoming);
    chkTieDDI->setEnabled(incoming);
    chkTieMCF->setEnabled(incoming);

    txtTieEquip->setText(QString::number(index));
    txtTieBoard->setText(boardNumberText(index / TiesPerBoard + 1));
    txtTieBoard->setToolTip(slotTitle(tieLineSlot(index)));
    txtTiePort->setText(QString::number(tieLinePort(index)));
    chkTieDTMF->setChecked(t.Status[0] & TieInDTMF);
    chkTieDDI->setChecked(t.Status[0] & TieDDI);
    chkTieMCF->setChecked(designatesGroup(t.Ext2) && isGroupNumber(t.Ext2));

    // Only a shore line may be reached by dialling 9. Showing a line never
    // changes it: a flag set on another line (read from a file) stays ticked,
    // and can be cleared, until the technician unticks it.
    chkTie9->setEnabled(t.Class == TieClassShore || t.Dial9);
    chkTie9->setChecked(t.Dial9);
    for (int k = 0; k < Dial6Codes; ++k)
        chkTie6[k]->setChecked(t.Dial6[k]);
    updating = false;
    validate();
}

// Colours the designated-extension cells with the checker's own rules.
void TieLinePane::Private::validate()
{
    updating = true;
    const Configuration &c = doc.config;
    const TieRecord &t = c.TieLines[index];

    bool firstBad = t.Ext1 == 0 ? t.Class != TieClassPA : findLiveExtension(c, t.Ext1) < 0;

    bool secondBad = false;
    if (t.Ext2 > 0) {
        secondBad = designatesGroup(t.Ext2) ? findActiveGroup(c, t.Ext2) < 0
                                            : findLiveExtension(c, t.Ext2) < 0;
        for (int u = 0; u < MaxTieLines && !secondBad; ++u) {
            const TieRecord &other = c.TieLines[u];
            if (u != index && isLiveTieLine(c, u) && other.Ext1 == t.Ext1 && other.Ext2 != 0 &&
                other.Ext2 != t.Ext2)
                secondBad = true;
        }
    }
    const bool bad[2] = {firstBad, secondBad};
    for (int row = 0; row < 2; ++row) {
        for (int col = 0; col < 2; ++col)
            panes::paintCellError(vsTieExt->item(row, col), bad[row]);
    }
    updating = false;
}

void TieLinePane::Private::commitName()
{
    if (updating || index < 0)
        return;
    txtTieName->setModified(false);
    const QString text = txtTieName->text().trimmed();
    if (text != tie().Name) {
        tie().Name = text;
        changed(QStringLiteral("Name"));
        emit q->nodeTextChanged(tieLineKey(index), text);
    }
    panes::selectWholeText(txtTieName);
    emit q->statusMessage(QString());
    validate();
}

void TieLinePane::Private::classChosen()
{
    if (updating || index < 0 || cboTieClass->currentIndex() < 0)
        return;
    const int cls = cboTieClass->currentData().toInt();
    TieRecord &t = tie();
    t.Class = int16_t(cls);
    for (int b = 0; b < TieStatusBytes; ++b)
        t.Status[b] = doc.config.TieClasses[cls].Status[b];
    // Only a shore line may be reached by dialling 9.
    if (cls != TieClassShore)
        t.Dial9 = false;
    changed(QStringLiteral("Type"));
    fill();
}

void TieLinePane::Private::setStatusBit(const QString &field, uint8_t bits, bool on)
{
    if (updating || index < 0)
        return;
    if (on)
        tie().Status[0] |= bits;
    else
        tie().Status[0] &= uint8_t(~bits);
    changed(field);
}

void TieLinePane::Private::cellEdited(QTableWidgetItem *item)
{
    if (updating || index < 0 || !item)
        return;
    const int row = item->row();
    const bool groups = rowOffersGroups(row);
    const panes::ChoiceList names = choices(row, 1);
    const int value = panes::valueFromCell(item->text(), names).value_or(0);
    TieRecord &t = tie();
    (row == 0 ? t.Ext1 : t.Ext2) = int16_t(value);

    QString name;
    if (value != 0) {
        name = groups ? QStringLiteral("Unkown Group") : QStringLiteral("Unkown Extension");
        for (const panes::Choice &choice : names) {
            if (choice.value == value) {
                name = choice.text;
                break;
            }
        }
    }
    updating = true;
    panes::setCellText(vsTieExt, row, 0, numberText(value));
    panes::setCellText(vsTieExt, row, 1, name);
    updating = false;
    changed(row == 0 ? QStringLiteral("Default Ext") : QStringLiteral("2nd Designated"));
    validate();
}
