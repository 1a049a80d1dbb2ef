#include "SystemPane.h"

#include "BoardChange.h"
#include "BoardStrip.h"
#include "ChoiceDelegate.h"
#include "ConfigDocument.h"
#include "Equipment.h"
#include "Names.h"
#include "PaneSupport.h"
#include "SlotMenus.h"
#include "SlotTexts.h"

#include <QCheckBox>
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

// The PIN a newly enabled tie PIN starts with.
constexpr int16_t DefaultPIN = 7415;

// Letters a..z become capitals; everything else stays as typed.
QString capitalised(const QString &text)
{
    QString result = text;
    for (QChar &ch : result) {
        if (ch >= QLatin1Char('a') && ch <= QLatin1Char('z'))
            ch = QChar(ch.unicode() - 'a' + 'A');
    }
    return result;
}

} // namespace

struct SystemPane::Private {
    SystemPane *q;
    ConfigDocument &doc;
    bool updating = false;

    QLineEdit *txtSysName, *txtSysPass, *txtSysPIN;
    QCheckBox *chkSysPIN;
    QLineEdit *txtSysExts, *txtsysShore, *txtSysSat, *txtSysPA, *txtSysPage, *txtSysGrp;
    QTableWidget *vsGA;
    BoardStrip *boards;

    Private(SystemPane *pane, ConfigDocument &document) : q(pane), doc(document) {}

    SystemRecord &sys() { return doc.config.SysConfig; }

    void build();
    QGroupBox *sizeBox();
    QGroupBox *passwordsBox();
    QGroupBox *accessBox();
    QGroupBox *boardsBox();
    void fill();
    void validate();
    void changed(const QString &field) { panes::markEdited(doc, QString(), field); }

    void commitName();
    void commitPass();
    void commitPIN();
    void pinClicked(bool on);
    void gaEdited(QTableWidgetItem *item);
    void showSlotMenu(int slot, const QPoint &globalPos);
    void boardChosen(int slot, int board);
};

SystemPane::SystemPane(ConfigDocument &doc, QWidget *parent)
    : EditPane(parent), d(std::make_unique<Private>(this, doc))
{
    setObjectName(QStringLiteral("vspData3"));
    d->build();
    panes::guardCodePage(d->txtSysName, [this](const QString &w) { emit statusMessage(w); });
}

SystemPane::~SystemPane()
{
    panes::detachChildren(this);
}

void SystemPane::Private::build()
{
    auto *layout = new QVBoxLayout(q);
    auto *nameRow = new QHBoxLayout;
    txtSysName = new QLineEdit(q);
    txtSysName->setObjectName(QStringLiteral("txtSysName"));
    nameRow->addWidget(new QLabel(QStringLiteral("System Name:"), q));
    nameRow->addWidget(txtSysName, 1);
    layout->addLayout(nameRow);
    QObject::connect(txtSysName, &QLineEdit::editingFinished, q, [this] { commitName(); });

    auto *top = new QHBoxLayout;
    top->addWidget(sizeBox());
    auto *right = new QVBoxLayout;
    right->addWidget(passwordsBox());
    right->addWidget(accessBox());
    right->addStretch(1);
    top->addLayout(right, 1);
    layout->addLayout(top);
    layout->addWidget(boardsBox());
    layout->addStretch(1);
}

QGroupBox *SystemPane::Private::sizeBox()
{
    auto *size = new QGroupBox(QStringLiteral("System Size"), q);
    auto *sizeGrid = new QGridLayout(size);
    const struct {
        const char *label;
        const char *name;
        QLineEdit **box;
    } counts[] = {
        {"Extensions:", "txtSysExts", &txtSysExts},  {"Shore Lines:", "txtsysShore", &txtsysShore},
        {"SATCOM Lines:", "txtSysSat", &txtSysSat},  {"PA Lines:", "txtSysPA", &txtSysPA},
        {"Pager Lines:", "txtSysPage", &txtSysPage}, {"Groups:", "txtSysGrp", &txtSysGrp},
    };
    int row = 0;
    for (const auto &count : counts) {
        *count.box = panes::readOnlyBox(size, count.name);
        (*count.box)->setMaximumWidth(80);
        (*count.box)->setAlignment(Qt::AlignRight);
        sizeGrid->addWidget(new QLabel(QLatin1String(count.label), size), row, 0);
        sizeGrid->addWidget(*count.box, row, 1);
        ++row;
    }
    sizeGrid->setRowStretch(row, 1);
    return size;
}

QGroupBox *SystemPane::Private::passwordsBox()
{
    auto *passwords = new QGroupBox(QStringLiteral("Passwords"), q);
    auto *passGrid = new QGridLayout(passwords);
    txtSysPass = new QLineEdit(passwords);
    txtSysPass->setObjectName(QStringLiteral("txtSysPass"));
    txtSysPass->setToolTip(QStringLiteral("Four letters, not Q"));
    chkSysPIN = new QCheckBox(QStringLiteral("Tie PIN Enabled:"), passwords);
    chkSysPIN->setObjectName(QStringLiteral("chkSysPIN"));
    txtSysPIN = new QLineEdit(passwords);
    txtSysPIN->setObjectName(QStringLiteral("txtSysPIN"));
    txtSysPIN->setMaxLength(5);
    passGrid->addWidget(new QLabel(QStringLiteral("Setup Password:"), passwords), 0, 0);
    passGrid->addWidget(txtSysPass, 0, 1);
    passGrid->addWidget(chkSysPIN, 1, 0);
    passGrid->addWidget(txtSysPIN, 1, 1);
    // Wide enough for four letters and the PIN however narrow the window is.
    const int codeWidth = txtSysPass->fontMetrics().horizontalAdvance(QStringLiteral("WWWWWW"));
    txtSysPass->setMinimumWidth(codeWidth);
    txtSysPIN->setMinimumWidth(codeWidth);

    QObject::connect(txtSysPass, &QLineEdit::editingFinished, q, [this] { commitPass(); });
    QObject::connect(txtSysPIN, &QLineEdit::editingFinished, q, [this] { commitPIN(); });
    QObject::connect(txtSysPass, &QLineEdit::textEdited, q, [this](const QString &text) {
        const QString upper = capitalised(text);
        if (upper == text)
            return;
        const int cursor = txtSysPass->cursorPosition();
        txtSysPass->setText(upper);
        txtSysPass->setModified(true);
        txtSysPass->setCursorPosition(cursor);
    });
    QObject::connect(chkSysPIN, &QCheckBox::clicked, q, [this](bool on) { pinClicked(on); });
    return passwords;
}

QGroupBox *SystemPane::Private::accessBox()
{
    auto *access = new QGroupBox(QStringLiteral("Guaranteed Access"), q);
    auto *column = new QVBoxLayout(access);
    auto *accessLabel = new QLabel(
        QStringLiteral("List of upto 3 extensions which have guaranteed access"), access);
    accessLabel->setWordWrap(true);
    vsGA = new QTableWidget(GAEntries, 2, access);
    vsGA->setObjectName(QStringLiteral("vsGA"));
    vsGA->setHorizontalHeaderLabels({QStringLiteral("Ext No"), QStringLiteral("Name")});
    vsGA->horizontalHeader()->setStretchLastSection(true);
    vsGA->setSelectionMode(QAbstractItemView::SingleSelection);
    vsGA->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vsGA->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    vsGA->setItemDelegate(new ChoiceDelegate(
        [this](int, int column) {
            return column == 0 ? panes::extensionNumberChoices(doc.config)
                               : panes::extensionNameChoices(doc.config);
        },
        vsGA));
    panes::ensureItems(vsGA);
    // Rows as high as the details grid's, so the whole pane fits a 1024x768 screen.
    vsGA->verticalHeader()->setDefaultSectionSize(vsGA->fontMetrics().height() + 8);
    vsGA->setFixedHeight(vsGA->horizontalHeader()->sizeHint().height() +
                         GAEntries * vsGA->verticalHeader()->defaultSectionSize() +
                         2 * vsGA->frameWidth());
    column->addWidget(accessLabel);
    column->addWidget(vsGA);

    QObject::connect(vsGA, &QTableWidget::itemChanged, q,
                     [this](QTableWidgetItem *item) { gaEdited(item); });
    return access;
}

QGroupBox *SystemPane::Private::boardsBox()
{
    auto *fmeSysConfig = new QGroupBox(QStringLiteral("Board Configuration"), q);
    fmeSysConfig->setObjectName(QStringLiteral("fmeSysConfig"));
    auto *boardBox = new QVBoxLayout(fmeSysConfig);
    boards = new BoardStrip(QStringLiteral("shpSlot"), fmeSysConfig, true);
    boards->setFocusPolicy(Qt::StrongFocus);
    boards->setTipSource(
        [this](int slot, int lamp) { return slotPictureTip(doc.config, slot, lamp); });
    boardBox->addWidget(boards, 0, Qt::AlignLeft);
    auto *hint = new QLabel(
        QStringLiteral("Right-click a slot (or Shift+F10) to change its board; double-click a "
                       "port to open it."),
        fmeSysConfig);
    hint->setWordWrap(true);
    boardBox->addWidget(hint);

    QObject::connect(boards, &BoardStrip::slotMenuRequested, q,
                     [this](int slot, const QPoint &at) { showSlotMenu(slot, at); });
    QObject::connect(boards, &BoardStrip::lampDoubleClicked, q, [this](int lamp) {
        const QString key = lampKey(doc.config, lamp);
        if (!key.isEmpty())
            emit q->openRecord(key);
    });
    return fmeSysConfig;
}

void SystemPane::showRecord(int)
{
    commitPending();
    d->fill();
}

void SystemPane::commitPending()
{
    if (d->txtSysName->isModified())
        d->commitName();
    if (d->txtSysPass->isModified())
        d->commitPass();
    if (d->txtSysPIN->isModified())
        d->commitPIN();
}

void SystemPane::Private::fill()
{
    updating = true;
    const Configuration &c = doc.config;
    const SystemRecord &s = c.SysConfig;
    txtSysName->setText(s.Name);
    txtSysPass->setText(s.Pass);
    chkSysPIN->setChecked(s.PIN != 0);
    txtSysPIN->setText(s.PIN != 0 ? QString::number(s.PIN) : QString());
    txtSysPIN->setEnabled(s.PIN != 0);

    int subscriberSlots = 0;
    for (int slot = FirstLineSlot; slot <= LastLineSlot; ++slot)
        subscriberSlots += s.Slots[slot] == BoardSubscriber;
    txtSysExts->setText(QString::number(subscriberSlots * ExtsPerBoard));
    int lines[4] = {0, 0, 0, 0};
    for (int t = 0; t < MaxTieLines; ++t) {
        const int cls = c.TieLines[t].Class;
        if (isLiveTieLine(c, t) && cls >= 0 && cls < 4)
            ++lines[cls];
    }
    txtsysShore->setText(QString::number(lines[TieClassShore]));
    txtSysSat->setText(QString::number(lines[TieClassSatComm]));
    txtSysPA->setText(QString::number(lines[TieClassPA]));
    txtSysPage->setText(QString::number(lines[TieClassPager]));
    int groups = 0;
    for (int g = 0; g < MaxGroups; ++g)
        groups += c.Groups[g].Active;
    txtSysGrp->setText(QString::number(groups));

    for (int k = 0; k < GAEntries; ++k) {
        const int number = s.GA[k];
        panes::setCellText(vsGA, k, 0, number > 0 ? QString::number(number) : QString());
        panes::setCellText(vsGA, k, 1, number > 0 ? getNameFromExt(c, number) : QString());
    }
    for (int slot = 0; slot < SlotCount; ++slot) {
        if (slot != 17) // the ringing module's shape keeps its own colour
            boards->setSlotType(slot, s.Slots[slot]);
    }
    updating = false;
    validate();
}

void SystemPane::Private::validate()
{
    updating = true;
    const Configuration &c = doc.config;
    for (int k = 0; k < GAEntries; ++k) {
        const int number = c.SysConfig.GA[k];
        const bool bad = number >= 1 && findLiveExtension(c, number) < 0;
        for (int col = 0; col < 2; ++col)
            panes::paintCellError(vsGA->item(k, col), bad);
    }
    const QString &pass = c.SysConfig.Pass;
    setFieldError(txtSysPass, pass.size() != 4 || pass.contains(QLatin1Char('Q')));
    updating = false;
}

void SystemPane::Private::commitName()
{
    if (updating)
        return;
    txtSysName->setModified(false);
    const QString text = txtSysName->text().trimmed();
    if (text != sys().Name) {
        sys().Name = text;
        changed(QStringLiteral("Name"));
    }
    panes::selectWholeText(txtSysName);
}

void SystemPane::Private::commitPass()
{
    if (updating)
        return;
    txtSysPass->setModified(false);
    const QString text = capitalised(txtSysPass->text().trimmed());
    txtSysPass->setText(text);
    if (text != sys().Pass) {
        sys().Pass = text;
        changed(QStringLiteral("Setup Password"));
    }
    panes::selectWholeText(txtSysPass);
    validate();
}

void SystemPane::Private::commitPIN()
{
    if (updating)
        return;
    txtSysPIN->setModified(false);
    const auto number = panes::parseNumber(txtSysPIN->text());
    if (number && *number >= 0) {
        if (*number != sys().PIN) {
            sys().PIN = *number;
            changed(QStringLiteral("Tie PIN"));
        }
    } else {
        // Not a PIN: the box shows the stored one again.
        txtSysPIN->setText(sys().PIN != 0 ? QString::number(sys().PIN) : QString());
    }
    panes::selectWholeText(txtSysPIN);
    validate();
}

void SystemPane::Private::pinClicked(bool on)
{
    if (updating)
        return;
    sys().PIN = on ? DefaultPIN : 0;
    changed(QStringLiteral("Tie PIN"));
    fill();
}

void SystemPane::Private::gaEdited(QTableWidgetItem *item)
{
    if (updating || !item)
        return;
    auto &ga = sys().GA;
    const auto value = panes::valueFromCell(item->text(), panes::extensionNameChoices(doc.config));
    ga[item->row()] = value && *value > 0 ? int16_t(*value) : int16_t(-1);
    // Close up: used entries first, in their order, so no empty row sits
    // above a used one (also when two rows were empty).
    int used = 0;
    for (int k = 0; k < GAEntries; ++k) {
        if (ga[k] > 0)
            ga[used++] = ga[k];
    }
    for (int k = used; k < GAEntries; ++k)
        ga[k] = -1;
    changed(QStringLiteral("Guaranteed Access"));
    fill();
}

void SystemPane::Private::showSlotMenu(int slot, const QPoint &globalPos)
{
    // The ticks show the configuration's boards, whatever the exchange reported.
    popUpSlotMenu(slot, sys().Slots[slot], true, q, globalPos,
                  [this, slot](int board) { boardChosen(slot, board); });
}

void SystemPane::Private::boardChosen(int slot, int board)
{
    if (sys().Slots[slot] == board || !confirmBoardChange(q))
        return;
    const BoardChangeResult result = changeSlotBoard(doc.config, slot, board);
    if (!result.changed)
        return;
    doc.markChanged(slotTitle(slot) + QStringLiteral(" to ") + boardTypeName(board));
    emit q->boardsChanged();
    if (!result.unnumbered.isEmpty()) {
        QStringList ports;
        for (int i : result.unnumbered)
            ports << extensionPosition(i);
        emit q->statusMessage(QStringLiteral("WARNING: No free extension number for ") +
                              ports.join(QStringLiteral(", ")));
    }
}
