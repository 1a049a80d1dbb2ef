#include "LostCharacters.h"

#include "Equipment.h"
#include "Windows1252.h"

using namespace tidelex;

namespace
{

void check(QList<LostCharacters> &lost, const QString &where, const QString &text)
{
    const QString characters = win1252::unencodable(text);
    if (!characters.isEmpty())
        lost.append({where, text, characters});
}

} // namespace

QList<LostCharacters> textsLosingCharacters(const Configuration &config)
{
    QList<LostCharacters> lost;
    check(lost, QStringLiteral("System name"), config.SysConfig.Name);
    check(lost, QStringLiteral("Setup Password"), config.SysConfig.Pass);
    // Records by the titles the editor gives them; a class by its name, which follows.
    const QString name = QStringLiteral(" name");
    for (int i = 0; i < MaxExtensions; ++i)
        check(lost, recordTitle(extensionKey(i)) + name, config.Extensions[i].Name);
    for (int t = 0; t < FileTieLines; ++t)
        check(lost, recordTitle(tieLineKey(t)) + name, config.TieLines[t].Name);
    for (int g = 0; g < MaxGroups; ++g)
        check(lost, recordTitle(groupKey(g)) + name, config.Groups[g].Name);
    for (int c = 0; c < MaxClasses; ++c) {
        check(lost, QStringLiteral("Class name"), config.ExtClasses[c].Name);
        check(lost, QStringLiteral("Tie line class name"), config.TieClasses[c].Name);
    }
    return lost;
}
