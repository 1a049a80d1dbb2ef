#include "CompareWindow.h"

#include "ConfigDiff.h"
#include "ConfigDocument.h"
#include "DifferenceTree.h"
#include "Equipment.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CompareWindow::CompareWindow(ConfigDocument &doc, const Configuration &other, const QString &otherName,
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
    // "the exchange" heads its column as "The exchange"; a file keeps its name as written.
    QString otherCaption = otherName;
    if (otherCaption.startsWith(QLatin1String("the ")))
        otherCaption[0] = u'T';
    vsDiff_ = new DifferenceTree(QStringLiteral("This configuration"), otherCaption, this);
    vsDiff_->setObjectName(QStringLiteral("vsDiff"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->button(QDialogButtonBox::Close)->setObjectName(QStringLiteral("cmdClose"));
    layout->addWidget(labSummary_);
    layout->addWidget(chkIgnoreNames_);
    layout->addWidget(vsDiff_, 1);
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);
    connect(chkIgnoreNames_, &QCheckBox::toggled, this, &CompareWindow::refresh);
    connect(vsDiff_, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem *item) {
        const QString key = item->data(0, DifferenceTree::KeyRole).toString();
        if (key != noRecordKey())
            emit openRecord(key);
    });
    // The list follows the technician's edits and undos.
    connect(&doc_, &ConfigDocument::edited, this, &CompareWindow::refresh);
    connect(&doc_, &ConfigDocument::restored, this, &CompareWindow::refresh);
    refresh();
}

void CompareWindow::setIgnoreNames(bool ignore)
{
    chkIgnoreNames_->setChecked(ignore);
    refresh();
}

void CompareWindow::refresh()
{
    DiffOptions options;
    options.ignoreNames = chkIgnoreNames_->isChecked();
    const QList<Difference> differences = compareConfigurations(doc_.config, other_, options);
    vsDiff_->showDifferences(differences);
    if (differences.isEmpty()) {
        labSummary_->setText(QStringLiteral("No differences: this configuration and %1 are the "
                                            "same.")
                                 .arg(otherName_));
    } else {
        labSummary_->setText(QStringLiteral("%1 in %2 between this configuration and %3. "
                                            "Double-click a record to open it.")
                                 .arg(countedDifferences(differences.size()),
                                      differenceSummary(differences), otherName_));
    }
}
