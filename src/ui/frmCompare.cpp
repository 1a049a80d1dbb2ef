#include "frmCompare.h"

#include "ConfigDiff.h"
#include "ConfigDocument.h"
#include "Equipment.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace
{
constexpr int KeyRole = Qt::UserRole;

QString counted(qsizetype n, const char *one, const char *many)
{
    return QString::number(n) + QLatin1Char(' ') + QLatin1String(n == 1 ? one : many);
}

// A bold top-level row.
QTreeWidgetItem *newHeading(QTreeWidget *tree, const QString &text, const QString &key)
{
    auto *item = new QTreeWidgetItem(tree, {text});
    item->setData(0, KeyRole, key);
    QFont bold = item->font(0);
    bold.setBold(true);
    item->setFont(0, bold);
    return item;
}
} // namespace

frmCompare::frmCompare(ConfigDocument &doc, const Configuration &other, const QString &otherName,
                       const QString &title, QWidget *parent)
    : QDialog(parent), doc_(doc), other_(other), otherName_(otherName)
{
    setObjectName(QStringLiteral("frmCompare"));
    setWindowTitle(title);
    resize(640, 480);
    auto *layout = new QVBoxLayout(this);
    labSummary_ = new QLabel(this);
    labSummary_->setObjectName(QStringLiteral("labSummary"));
    labSummary_->setWordWrap(true);
    chkIgnoreNames_ = new QCheckBox(QStringLiteral("&Ignore names"), this);
    chkIgnoreNames_->setObjectName(QStringLiteral("chkIgnoreNames"));
    chkIgnoreNames_->setToolTip(QStringLiteral("The exchange keeps no names"));
    vsDiff_ = new QTreeWidget(this);
    vsDiff_->setObjectName(QStringLiteral("vsDiff"));
    vsDiff_->setColumnCount(3);
    // "the exchange" heads its column as "The exchange"; a file keeps its name as written.
    QString otherCaption = otherName;
    if (otherCaption.startsWith(QLatin1String("the ")))
        otherCaption[0] = u'T';
    vsDiff_->setHeaderLabels(
        {QStringLiteral("Record / Field"), QStringLiteral("This configuration"), otherCaption});
    vsDiff_->header()->setSectionResizeMode(QHeaderView::Interactive);
    vsDiff_->setRootIsDecorated(true);
    vsDiff_->setAlternatingRowColors(true);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    layout->addWidget(labSummary_);
    layout->addWidget(chkIgnoreNames_);
    layout->addWidget(vsDiff_, 1);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(chkIgnoreNames_, &QCheckBox::toggled, this, &frmCompare::refresh);
    connect(vsDiff_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        const QString key = item->data(0, KeyRole).toString();
        if (key != noRecordKey())
            emit openRecord(key);
    });
    // The list follows the technician's edits and undos.
    connect(&doc_, &ConfigDocument::edited, this, &frmCompare::refresh);
    connect(&doc_, &ConfigDocument::restored, this, &frmCompare::refresh);
    refresh();
}

void frmCompare::setIgnoreNames(bool ignore)
{
    chkIgnoreNames_->setChecked(ignore);
    refresh();
}

void frmCompare::refresh()
{
    DiffOptions options;
    options.ignoreNames = chkIgnoreNames_->isChecked();
    const QList<Difference> differences = compareConfigurations(doc_.config, other_, options);
    const QList<KindCount> counts = recordsPerKind(differences);
    vsDiff_->clear();
    // Kind, then record, then field; the system is one record and its own heading.
    QTreeWidgetItem *kind = nullptr;
    QTreeWidgetItem *record = nullptr;
    qsizetype kinds = 0;
    for (const Difference &d : differences) {
        if (!kind || d.kind != counts[kinds - 1].kind) {
            const KindCount &count = counts[kinds++];
            const bool system = count.kind == RecordKind::System;
            const QString heading =
                QStringLiteral("%1 (%2)").arg(recordKindName(count.kind)).arg(count.records);
            kind = newHeading(vsDiff_, system ? d.record : heading, system ? d.key : noRecordKey());
            record = system ? kind : nullptr;
        }
        if (!record || record->text(0) != d.record) {
            record = new QTreeWidgetItem(kind, {d.record});
            record->setData(0, KeyRole, d.key);
        }
        auto *field = new QTreeWidgetItem(record, {d.field, d.first, d.second});
        field->setData(0, KeyRole, d.key);
    }
    if (differences.isEmpty()) {
        labSummary_->setText(QStringLiteral("No differences: this configuration and %1 are the "
                                            "same.")
                                 .arg(otherName_));
    } else {
        labSummary_->setText(QStringLiteral("%1 in %2 between this configuration and %3. "
                                            "Double-click a record to open it.")
                                 .arg(counted(differences.size(), "difference", "differences"),
                                      differenceSummary(differences), otherName_));
    }
    vsDiff_->expandAll();
    vsDiff_->resizeColumnToContents(0);
    vsDiff_->resizeColumnToContents(1);
}
