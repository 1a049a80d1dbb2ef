#include "NavTree.h"

#include "Equipment.h"
#include "Icons.h"
#include "ReportCatalogue.h"
#include "TypeNames.h"

#include <QApplication>
#include <QHeaderView>
#include <QLineEdit>
#include <QStyledItemDelegate>

using namespace tidelex;

namespace
{

constexpr int KeyRole = Qt::UserRole;
constexpr int EditNameRole = Qt::UserRole + 1;
constexpr int PlainTextColourRole = Qt::UserRole + 2; // the text colour when not in error

const QColor highlightColour(255, 128, 128);

QString reportKey(int number)
{
    return QLatin1Char('P') + QString::number(number);
}

bool isRecordKey(const QString &key)
{
    return key.size() == 4 &&
           (key.startsWith(QLatin1Char('E')) || key.startsWith(QLatin1Char('T')) ||
            key.startsWith(QLatin1Char('G')));
}

} // namespace

// Renaming edits the record's own name, not the "101 (Bridge)" text, and
// hands the result to the main window instead of writing the node.
class NodeNameDelegate : public QStyledItemDelegate
{
  public:
    NodeNameDelegate(NavTree *tree) : QStyledItemDelegate(tree), tree_(tree) {}
    void setEditorData(QWidget *editor, const QModelIndex &index) const override
    {
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            line->setText(index.data(EditNameRole).toString());
    }
    void setModelData(QWidget *editor, QAbstractItemModel *,
                      const QModelIndex &index) const override
    {
        if (auto *line = qobject_cast<QLineEdit *>(editor))
            emit tree_->nodeRenamed(index.data(KeyRole).toString(), line->text());
    }

  private:
    NavTree *tree_;
};

NavTree::NavTree(QWidget *parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("trvTables"));
    setHeaderHidden(true);
    setColumnCount(1);
    // Long names scroll sideways rather than being cut short.
    header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    header()->setStretchLastSection(false);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    setItemDelegate(new NodeNameDelegate(this));
    setIconSize(QSize(16, 16));
    connect(this, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *current) {
        if (!building_ && current)
            emit nodeClicked(keyOf(current));
    });
}

QTreeWidgetItem *NavTree::addNode(QTreeWidgetItem *parent, const QString &key, const QString &text,
                                  const QString &icon)
{
    auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(this);
    item->setText(0, text);
    item->setData(0, KeyRole, key);
    item->setIcon(0, appIcon(icon));
    Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsEnabled;
    if (isRecordKey(key))
        flags |= Qt::ItemIsEditable;
    item->setFlags(flags);
    return item;
}

// The picture of an extension's class.
static QString extensionIcon(const Configuration &config, int i)
{
    const int cls = config.Extensions[i].Class;
    return cls >= 0 && cls < MaxClasses ? config.ExtClasses[cls].IconName : QString();
}

void NavTree::buildTree(const Configuration &config)
{
    building_ = true;
    // The technician's unfolding stays as it was (records come and go with
    // undo, redo and board changes; the categories stay).
    QStringList expanded;
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        if ((*it)->isExpanded())
            expanded << keyOf(*it);
    }
    clear();
    QTreeWidgetItem *root =
        addNode(nullptr, systemKey(), QStringLiteral("Tidelex"), QStringLiteral("System"));
    QTreeWidgetItem *exts = addNode(root, QStringLiteral("REX"), QStringLiteral("Extensions"),
                                    QStringLiteral("Folder"));
    QTreeWidgetItem *ties =
        addNode(root, QStringLiteral("RTL"), QStringLiteral("Tie Lines"), QStringLiteral("Folder"));
    QTreeWidgetItem *groups =
        addNode(root, QStringLiteral("RGP"), QStringLiteral("Groups"), QStringLiteral("Folder"));
    const QList<ReportTitle> titles = reportTitles();
    QTreeWidgetItem *reports =
        addNode(root, QStringLiteral("RPT"), QString::fromLatin1(titles.first().caption),
                QStringLiteral("Report"));
    root->setExpanded(true);

    for (int i = 0; i < MaxExtensions; ++i) {
        const ExtRecord &ext = config.Extensions[i];
        if (!ext.Active)
            continue;
        paintRecordNode(addNode(exts, extensionKey(i), QString(), extensionIcon(config, i)),
                        config);
    }
    for (int t = 0; t < FileTieLines; ++t) {
        if (config.TieLines[t].Active)
            paintRecordNode(addNode(ties, tieLineKey(t), QString(), QStringLiteral("Tie")), config);
    }
    for (int g = 0; g < MaxGroups; ++g) {
        paintRecordNode(
            addNode(groups, groupKey(g), QString(), groupTypeIcon(config.Groups[g].Type)), config);
    }
    for (const ReportTitle &title : titles.mid(1)) {
        QTreeWidgetItem *parent = title.parent == 0 ? reports : findNode(reportKey(title.parent));
        addNode(parent, reportKey(title.number), QString::fromLatin1(title.caption),
                QStringLiteral("Report"));
    }
    for (const QString &key : expanded) {
        if (QTreeWidgetItem *node = findNode(key))
            node->setExpanded(true);
    }
    applyFilter();
    building_ = false;
}

QString NavTree::nodeText(const Configuration &config, const QString &key)
{
    const int index = key.mid(1).toInt();
    switch (key.isEmpty() ? u'\0' : key.at(0).unicode()) {
    case 'E': {
        const ExtRecord &ext = config.Extensions[index];
        return ext.TrueName ? QString::number(ext.ExtNum) + QStringLiteral(" (") + ext.Name +
                                  QLatin1Char(')')
                            : ext.Name;
    }
    case 'T':
        return config.TieLines[index].Name;
    case 'G':
        return config.Groups[index].Name;
    default:
        return QString();
    }
}

void NavTree::paintRecordNode(QTreeWidgetItem *item, const Configuration &config)
{
    const QString key = keyOf(item);
    const int index = key.mid(1).toInt();
    bool grey = false;
    QString name;
    if (key.startsWith(QLatin1Char('E'))) {
        grey = config.Extensions[index].Class == ClassDisabled;
        name = config.Extensions[index].Name;
        // The class, or the class's picture, may have changed since the node was made.
        item->setIcon(0, appIcon(extensionIcon(config, index)));
    } else if (key.startsWith(QLatin1Char('T'))) {
        name = config.TieLines[index].Name;
    } else if (key.startsWith(QLatin1Char('G'))) {
        grey = !config.Groups[index].Active;
        name = config.Groups[index].Name;
    }
    item->setText(0, nodeText(config, key));
    item->setData(0, EditNameRole, name);
    const QPalette pal = QApplication::palette();
    item->setData(0, PlainTextColourRole,
                  grey ? pal.color(QPalette::Disabled, QPalette::Text)
                       : pal.color(QPalette::Active, QPalette::Text));
    paintText(item);
}

void NavTree::paintText(QTreeWidgetItem *item)
{
    // On the light red the text is dark in every palette (a little lighter
    // for a record that is switched off); elsewhere the node's own colour.
    const bool red = item->background(0).style() != Qt::NoBrush &&
                     item->background(0).color() == highlightColour;
    const QVariant plain = item->data(0, PlainTextColourRole);
    if (red)
        item->setForeground(0, plain.isValid() && plain.value<QColor>() ==
                                       QApplication::palette().color(QPalette::Disabled,
                                                                     QPalette::Text)
                                   ? QColor(48, 48, 48)
                                   : QColor(Qt::black));
    else if (plain.isValid())
        item->setForeground(0, plain.value<QColor>());
    else
        item->setData(0, Qt::ForegroundRole, QVariant());
}

void NavTree::refreshNode(const Configuration &config, const QString &key)
{
    if (QTreeWidgetItem *item = isRecordKey(key) ? findNode(key) : nullptr)
        paintRecordNode(item, config);
}

void NavTree::refreshRecordNodes(const Configuration &config)
{
    for (QTreeWidgetItem *node : recordNodes())
        paintRecordNode(node, config);
    // A name edited away from the search text leaves the found nodes.
    applyFilter();
}

QList<QTreeWidgetItem *> NavTree::recordNodes() const
{
    QList<QTreeWidgetItem *> nodes;
    for (const char *category : {"REX", "RTL", "RGP"}) {
        QTreeWidgetItem *parent = findNode(QString::fromLatin1(category));
        for (int c = 0; parent && c < parent->childCount(); ++c)
            nodes << parent->child(c);
    }
    return nodes;
}

void NavTree::setRecordFilter(const RecordFilter &filter)
{
    filter_ = filter;
    applyFilter();
    // The matches are shown, not folded away.
    if (filter_) {
        for (const char *category : {"REX", "RTL", "RGP"}) {
            if (QTreeWidgetItem *parent = findNode(QString::fromLatin1(category)))
                parent->setExpanded(true);
        }
    }
}

void NavTree::applyFilter()
{
    for (QTreeWidgetItem *node : recordNodes())
        node->setHidden(filter_ && !filter_(keyOf(node)));
}

QStringList NavTree::shownRecordKeys() const
{
    QStringList keys;
    for (QTreeWidgetItem *node : recordNodes()) {
        if (!node->isHidden())
            keys << keyOf(node);
    }
    return keys;
}

QTreeWidgetItem *NavTree::findNode(const QString &key) const
{
    for (QTreeWidgetItemIterator it(const_cast<NavTree *>(this)); *it; ++it) {
        if (keyOf(*it) == key)
            return *it;
    }
    return nullptr;
}

QString NavTree::keyOf(const QTreeWidgetItem *item)
{
    return item ? item->data(0, KeyRole).toString() : QString();
}

QString NavTree::currentKey() const
{
    return keyOf(currentItem());
}

bool NavTree::selectNode(const QString &key)
{
    QTreeWidgetItem *item = findNode(key);
    if (!item)
        return false;
    const bool wasBuilding = building_;
    building_ = true;
    setCurrentItem(item);
    scrollToItem(item);
    building_ = wasBuilding;
    return true;
}

void NavTree::setHighlights(const QStringList &keys)
{
    for (QTreeWidgetItemIterator it(this); *it; ++it) {
        (*it)->setBackground(0, keys.contains(keyOf(*it)) ? QBrush(highlightColour) : QBrush());
        paintText(*it);
    }
}

QStringList NavTree::highlightedKeys() const
{
    QStringList keys;
    for (QTreeWidgetItemIterator it(const_cast<NavTree *>(this)); *it; ++it) {
        if ((*it)->background(0).color() == highlightColour &&
            (*it)->background(0).style() != Qt::NoBrush)
            keys << keyOf(*it);
    }
    return keys;
}

bool NavTree::renameNode(const QString &key)
{
    QTreeWidgetItem *item = findNode(key);
    if (!item || !(item->flags() & Qt::ItemIsEditable))
        return false;
    setCurrentItem(item);
    editItem(item);
    return true;
}
