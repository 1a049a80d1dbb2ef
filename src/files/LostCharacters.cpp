#include "LostCharacters.h"

#include "Equipment.h"
#include "Windows1252.h"

using namespace tdl;

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
    check(lost, QStringLiteral("system name"), config.SysConfig.Name);
    check(lost, QStringLiteral("password"), config.SysConfig.Pass);
    for (int i = 0; i < MaxExtensions; ++i)
        check(lost, QStringLiteral("extension %1 name").arg(extensionPosition(i)),
              config.Extensions[i].Name);
    for (int t = 0; t < FileTieLines; ++t)
        check(lost, QStringLiteral("tie line %1 name").arg(tieLinePosition(t)),
              config.TieLines[t].Name);
    for (int g = 0; g < MaxGroups; ++g)
        check(lost, QStringLiteral("group %1 name").arg(g + 1), config.Groups[g].Name);
    for (int c = 0; c < MaxClasses; ++c) {
        check(lost, QStringLiteral("extension class %1 name").arg(c), config.ExtClasses[c].Name);
        check(lost, QStringLiteral("tie-line class %1 name").arg(c), config.TieClasses[c].Name);
    }
    return lost;
}
