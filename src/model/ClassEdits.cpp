#include "ClassEdits.h"

#include "Equipment.h"

using namespace tidelex;

bool isEditableClass(const Configuration &config, int c)
{
    return c >= 1 && c < MaxClasses && config.ExtClasses[c].Active && !config.ExtClasses[c].Fixed;
}

int liveClassMembers(const Configuration &config, int c)
{
    int count = 0;
    for (int i = 0; i < MaxExtensions; ++i)
        count += isLiveExtension(config, i) && config.Extensions[i].Class == c;
    return count;
}

int matchingCustomExtensions(const Configuration &config, const ClassStatus &status)
{
    int count = 0;
    for (int i = 0; i < MaxExtensions; ++i) {
        const ExtRecord &ext = config.Extensions[i];
        count += isLiveExtension(config, i) && ext.Class == ClassCustom && ext.Status == status;
    }
    return count;
}

void applyClass(Configuration &config, int c, const ClassStatus &status, const QString &icon,
                MemberUpdate members)
{
    ClassRecord &cls = config.ExtClasses[c];
    cls.Status = status;
    cls.IconName = icon;
    for (int i = 0; i < MaxExtensions; ++i) {
        ExtRecord &ext = config.Extensions[i];
        if (ext.Class != c)
            continue;
        if (members == MemberUpdate::FollowClass)
            ext.Status = status;
        else
            ext.Class = ClassCustom;
    }
}

int adoptMatchingCustom(Configuration &config, int c)
{
    int count = 0;
    const ClassStatus &status = config.ExtClasses[c].Status;
    for (int i = 0; i < MaxExtensions; ++i) {
        ExtRecord &ext = config.Extensions[i];
        if (isLiveExtension(config, i) && ext.Class == ClassCustom && ext.Status == status) {
            ext.Class = int16_t(c);
            ++count;
        }
    }
    return count;
}

QString classNameProblemText(ClassNameProblem problem)
{
    switch (problem) {
    case ClassNameProblem::Blank:
        return QStringLiteral("Please enter a name for the class");
    case ClassNameProblem::Taken:
        return QStringLiteral("There is already a class with this name");
    case ClassNameProblem::NoRoom:
        return QStringLiteral("All %1 extension classes are in use; rename one instead")
            .arg(MaxClasses - 1);
    case ClassNameProblem::None:
        break;
    }
    return QString();
}

ClassNameProblem classNameProblem(const Configuration &config, const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return ClassNameProblem::Blank;
    for (int c = 0; c < MaxClasses; ++c) {
        if (config.ExtClasses[c].Active && config.ExtClasses[c].Name == trimmed)
            return ClassNameProblem::Taken;
    }
    return ClassNameProblem::None;
}

namespace {

// Lowest class index 1..31 not in use, or -1. (Class 32 is never saved.)
int freeClassIndex(const Configuration &config)
{
    for (int c = 1; c < MaxClasses; ++c) {
        if (!config.ExtClasses[c].Active)
            return c;
    }
    return -1;
}

bool refuse(ClassNameProblem found, ClassNameProblem *problem)
{
    if (problem)
        *problem = found;
    return found != ClassNameProblem::None;
}

} // namespace

bool classRoomLeft(const Configuration &config)
{
    return freeClassIndex(config) >= 0;
}

int createClass(Configuration &config, const QString &name, int copyOf, ClassNameProblem *problem)
{
    const int c = freeClassIndex(config);
    if (refuse(c < 0 ? ClassNameProblem::NoRoom : classNameProblem(config, name), problem))
        return -1;
    ClassRecord &cls = config.ExtClasses[c];
    const bool copying = copyOf >= 0 && copyOf < MaxClasses;
    cls.Active = true;
    cls.Fixed = false;
    cls.Name = name.trimmed();
    // An unused record may still hold a class of an earlier file: start clean.
    cls.Status = copying ? config.ExtClasses[copyOf].Status : ClassStatus{};
    cls.IconName = config.ExtClasses[copying ? copyOf : ClassCustom].IconName;
    return c;
}

bool renameClass(Configuration &config, int c, const QString &name, ClassNameProblem *problem)
{
    if (c < 0 || c >= MaxClasses || refuse(classNameProblem(config, name), problem))
        return false;
    config.ExtClasses[c].Name = name.trimmed();
    return true;
}
