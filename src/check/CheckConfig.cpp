#include "CheckConfig.h"

#include "Equipment.h"
#include "NumberUse.h"

#include <array>

using namespace tidelex;

QString Finding::type() const
{
    return isError ? QStringLiteral("Error") : QStringLiteral("Warning");
}

QString Finding::row() const
{
    const QChar tab(QLatin1Char('\t'));
    return QString::number(number) + tab + type() + tab + where + tab + problem + tab + reference;
}

int CheckResult::errorCount() const
{
    int count = 0;
    for (const Finding &f : findings)
        count += f.isError ? 1 : 0;
    return count;
}

int CheckResult::warningCount() const
{
    return int(findings.size()) - errorCount();
}

QStringList errorListHeader()
{
    return {QStringLiteral("Error #"), QStringLiteral("Type"), QStringLiteral("Where"),
            QStringLiteral("Problem"), QStringLiteral("Reference")};
}

QString titleAfterCheck(bool configChanged, const QString &currentFile, const QString &title)
{
    if (!configChanged)
        return title;
    if (currentFile.isEmpty())
        return QStringLiteral("helmWISE - New Configuration*");
    return QStringLiteral("helmWISE - ") + currentFile + QLatin1Char('*');
}

QString sendRefusalTitle()
{
    return QStringLiteral("Send Configuration");
}

QString sendRefusalText()
{
    return QStringLiteral("There are errors with the configuration.\n"
                          "These need to be corrected before the configuration can be sent.");
}

namespace {

// "Invalid Group (503)": the message text with the number in brackets.
QString numbered(const char *text, int n)
{
    return QString::fromLatin1(text) + QLatin1Char('(') + QString::number(n) + QLatin1Char(')');
}

class Checker {
public:
    explicit Checker(const Configuration &config) : c(config) {}

    CheckResult run()
    {
        checkExtensions();
        checkTieLines();
        checkDial6Codes();
        checkGroups();
        checkSystem();
        return std::move(result);
    }

private:
    const Configuration &c;
    CheckResult result;

    struct Dial6Tally {
        int count = 0;
        int cls = -1; // no class recorded yet
        bool mixed = false;
    };
    std::array<Dial6Tally, Dial6Codes> dial6{};
    std::array<bool, FileTieLines> warned{};

    void add(bool isError, const QString &where, const QString &problem, const QString &ref)
    {
        Finding f;
        f.number = int(result.findings.size()) + 1;
        f.isError = isError;
        f.where = where;
        f.problem = problem;
        f.reference = ref;
        result.findings.append(f);
        if (isError)
            result.errorsFound = true;
    }
    void error(const QString &where, const QString &problem, const QString &ref)
    {
        add(true, where, problem, ref);
    }
    void warning(const QString &where, const QString &problem, const QString &ref)
    {
        add(false, where, problem, ref);
    }
    void highlight(const QString &key)
    {
        if (!result.highlighted.contains(key))
            result.highlighted.append(key);
    }
    // An error about one record whose node is painted red.
    void recordError(const QString &where, const QString &problem, const QString &key)
    {
        highlight(key);
        error(where, problem, key);
    }

    bool liveExtensionNumbered(int number) const { return findLiveExtension(c, number) >= 0; }

    void checkExtensions()
    {
        for (int i = 0; i < MaxExtensions; ++i) {
            if (!isLiveExtension(c, i))
                continue;
            const ExtRecord &ext = c.Extensions[i];
            const QString key = extensionKey(i);
            checkExtensionNumber(i);

            if (extensionGroupBad(c, i))
                recordError(ext.Name, numbered("Invalid Group ", ext.Group), key);

            switch (hotLineFinding(c, i)) {
            case HotLineFinding::NoTarget:
                recordError(ext.Name, QStringLiteral("No Hotline number being called"), key);
                break;
            case HotLineFinding::OwnNumber:
                recordError(ext.Name, QStringLiteral("Hotline calling own extension"), key);
                break;
            case HotLineFinding::NotFound:
                recordError(ext.Name, numbered("Invalid Hotline Extension number ", ext.DirectDial),
                            key);
                break;
            case HotLineFinding::None:
                break;
            }
        }
    }

    void checkExtensionNumber(int i)
    {
        const ExtRecord &ext = c.Extensions[i];
        if (extensionNumberFinding(c, i) == NumberFinding::Invalid) {
            recordError(ext.Name, numbered("Invalid Extension Number ", ext.ExtNum),
                        extensionKey(i));
            return;
        }
        // Every pair is reported, so three equal numbers give three pairs.
        for (int j = i + 1; j < MaxExtensions; ++j) {
            if (!numbersClash(c, i, j))
                continue;
            const QString problem = numbered("Duplicate Extension number ", ext.ExtNum);
            highlight(extensionKey(i));
            highlight(extensionKey(j));
            error(ext.Name, problem, extensionKey(i));
            error(c.Extensions[j].Name, problem, extensionKey(j));
        }
    }

    void checkTieLines()
    {
        for (int t = 0; t < FileTieLines; ++t) {
            if (!isLiveTieLine(c, t))
                continue;
            const TieRecord &tie = c.TieLines[t];
            const QString key = tieLineKey(t);

            for (int k = 0; k < Dial6Codes; ++k) {
                if (!tie.Dial6[k])
                    continue;
                Dial6Tally &tally = dial6[k];
                ++tally.count;
                if (tally.cls < 0)
                    tally.cls = tie.Class;
                else if (tally.cls != tie.Class)
                    tally.mixed = true;
            }

            if (tie.Class != TieClassShore && tie.Dial9)
                warning(tie.Name,
                        QStringLiteral("Dial 9 is only allowed on ") + c.TieClasses[0].Name, key);

            if (tie.Ext1 == 0) {
                if (tie.Class != TieClassPA)
                    recordError(tie.Name, QStringLiteral("No default incoming extension"), key);
            } else if (!liveExtensionNumbered(tie.Ext1)) {
                recordError(tie.Name, numbered("No such Extension ", tie.Ext1), key);
            }

            if (tie.Ext2 > 0)
                checkSecondDesignated(t);
        }
    }

    void checkSecondDesignated(int t)
    {
        const TieRecord &tie = c.TieLines[t];
        const QString key = tieLineKey(t);
        const int ext2 = tie.Ext2;
        const bool found =
            designatesGroup(ext2) ? findActiveGroup(c, ext2) >= 0 : liveExtensionNumbered(ext2);
        if (!found) {
            // The message names a group for 500..600, one beyond the group range.
            QString problem;
            if (ext2 < FirstExtensionNumber || ext2 > LastGroupNumber + 1)
                problem = numbered("Invalid Extension Number ", ext2);
            else if (!isExtensionNumber(ext2))
                problem = numbered("No such group ", ext2);
            else
                problem = numbered("No such extension ", ext2);
            recordError(tie.Name, problem, key);
            return;
        }
        // Every line that rings the same first extension shares its second one.
        for (int u = 0; u < FileTieLines; ++u) {
            if (!isLiveTieLine(c, u) || c.TieLines[u].Ext1 != tie.Ext1)
                continue;
            const TieRecord &other = c.TieLines[u];
            if (other.Ext2 == 0) {
                if (!warned[u]) {
                    warned[u] = true;
                    warning(other.Name,
                            QStringLiteral("There is an effective 2nd Designated Extension of ") +
                                QString::number(ext2),
                            key);
                }
            } else if (other.Ext2 != ext2) {
                highlight(key);
                highlight(tieLineKey(u));
                error(tie.Name,
                      QStringLiteral("2nd Designated Extension not compatible with ") + other.Name,
                      key);
            }
        }
    }

    void highlightDial6Users(int k)
    {
        for (int t = 0; t < FileTieLines; ++t) {
            if (isLiveTieLine(c, t) && c.TieLines[t].Dial6[k])
                highlight(tieLineKey(t));
        }
    }

    void checkDial6Codes()
    {
        for (int k = 0; k < Dial6Codes; ++k) {
            const QString digit = QString::number(k + 1);
            const QString where = QStringLiteral("Dial 6") + digit;
            if (dial6[k].count > 8) {
                error(where, QStringLiteral("Too many tie lines using Dial 6") + digit,
                      noRecordKey());
                highlightDial6Users(k);
            }
            if (dial6[k].mixed) {
                warning(where, QStringLiteral("Different tie lines types using 6") + digit,
                        noRecordKey());
                highlightDial6Users(k);
            }
        }
    }

    void checkGroups()
    {
        for (int g = 0; g < MaxGroups; ++g) {
            const GroupRecord &group = c.Groups[g];
            if (!group.Active)
                continue;
            const QString key = groupKey(g);
            // Num comes from files and the exchange: never read past the member list.
            const int used = qBound(0, int(group.Num), GroupExtsSize);
            for (int m = 0; m < used; ++m) {
                if (!liveExtensionNumbered(group.Exts[m]))
                    recordError(group.Name, numbered("No such extension ", group.Exts[m]), key);
            }
            for (int m = 0; m < used; ++m) {
                for (int m2 = m + 1; m2 < used; ++m2) {
                    if (group.Exts[m] == group.Exts[m2])
                        recordError(group.Name, numbered("Duplicate Extensions ", group.Exts[m]),
                                    key);
                }
            }
        }
    }

    void checkSystem()
    {
        const SystemRecord &sys = c.SysConfig;
        bool gaError = false;
        for (int k = 0; k < GAEntries; ++k) {
            if (sys.GA[k] >= 1 && !liveExtensionNumbered(sys.GA[k])) {
                error(QStringLiteral("Guaranteed Access"), numbered("No such extension ", sys.GA[k]),
                      systemKey());
                gaError = true;
            }
        }
        if (gaError)
            highlight(systemKey());

        const QString where = QStringLiteral("System");
        if (sys.Pass.size() != 4)
            error(where, QStringLiteral("tdlSetup Password must be 4 characters long"), systemKey());
        else if (sys.Pass.contains(QLatin1Char('Q'), Qt::CaseSensitive))
            error(where, QStringLiteral("tdlSetup password can not contain the letter 'Q'"),
                  systemKey());
    }
};

} // namespace

CheckResult checkConfig(const Configuration &config)
{
    return Checker(config).run();
}
