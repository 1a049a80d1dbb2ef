#include "RecordSearch.h"

using namespace tidelex;

bool recordMatches(const Configuration &config, const QString &key, const QString &text)
{
    const QString wanted = text.trimmed();
    if (wanted.isEmpty())
        return true;
    bool ok = false;
    const int index = key.mid(1).toInt(&ok);
    if (key.size() != 4 || !ok || index < 0)
        return false;
    int number = 0;
    QString name;
    switch (key.at(0).unicode()) {
    case 'E':
        if (index >= MaxExtensions)
            return false;
        number = config.Extensions[index].ExtNum;
        name = config.Extensions[index].Name;
        break;
    case 'T':
        if (index >= FileTieLines)
            return false;
        number = config.TieLines[index].DirNum;
        name = config.TieLines[index].Name;
        break;
    case 'G':
        if (index >= MaxGroups)
            return false;
        number = config.Groups[index].DirNum;
        name = config.Groups[index].Name;
        break;
    default:
        return false;
    }
    return QString::number(number).contains(wanted) || name.contains(wanted, Qt::CaseInsensitive);
}
