#include "Names.h"

#include "Equipment.h"

using namespace tidelex;

QString getNameFromExt(const Configuration &config, int number)
{
    if (number == 0)
        return QString();
    if (isExtensionNumber(number)) {
        const int i = findExtensionRecord(config, number);
        return i >= 0 ? config.Extensions[i].Name : QStringLiteral("Unknown Extension");
    }
    if (isGroupNumber(number)) {
        for (int g = 0; g < MaxGroups; ++g) {
            if (config.Groups[g].DirNum == number)
                return config.Groups[g].Name;
        }
        return QStringLiteral("Unknown Group");
    }
    return QStringLiteral("Invalid Extension");
}

QString groupUsersText(const Configuration &config, int g)
{
    QString longText;
    QString shortText;
    int matches = 0;
    const int dirNum = config.Groups[g].DirNum;
    for (int i = 0; i < MaxExtensions; ++i) {
        const ExtRecord &ext = config.Extensions[i];
        if (ext.Group != dirNum)
            continue;
        ++matches;
        longText += QString::number(ext.ExtNum) + QStringLiteral(" ( ") + ext.Name +
                    QStringLiteral(") ");
        shortText += QString::number(ext.ExtNum) + QLatin1Char(' ');
    }
    return matches > 1 ? shortText : longText;
}
