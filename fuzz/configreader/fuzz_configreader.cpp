// Feeds arbitrary bytes to the configuration reader. Beyond "no crash", it
// holds the reader to its promises: a failure leaves the configuration as it
// was and gives a reason; a success gives counts and class indexes inside
// their tables, and a file written from it reads back to the same thing.
#include "ConfigFile.h"
#include "Windows1252.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

namespace
{

void require(bool condition)
{
    if (!condition)
        std::abort();
}

int readBytes(const QByteArray &bytes, Configuration &c, QString *error)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return readConfig(buffer, c, error);
}

bool encodable(const QString &s)
{
    for (QChar ch : s) {
        if (!win1252::canEncode(ch.unicode()) ||
            (ch.unicode() < 0x20 && ch != u'\t' && ch != u'\r' && ch != u'\n'))
            return false;
    }
    return true;
}

bool allTextsEncodable(const Configuration &c)
{
    bool ok = encodable(c.SysConfig.Name) && encodable(c.SysConfig.Pass) &&
              encodable(c.SysConfig.LastUpdate);
    for (int i = 0; i < tidelex::MaxExtensions; ++i)
        ok = ok && encodable(c.Extensions[i].Name);
    for (int t = 0; t < tidelex::FileTieLines; ++t)
        ok = ok && encodable(c.TieLines[t].Name);
    for (int g = 0; g < tidelex::MaxGroups; ++g)
        ok = ok && encodable(c.Groups[g].Name);
    for (int k = 0; k < tidelex::MaxClasses; ++k)
        ok = ok && encodable(c.ExtClasses[k].Name) && encodable(c.ExtClasses[k].IconName) &&
             encodable(c.TieClasses[k].Name) && encodable(c.TieClasses[k].IconName);
    return ok;
}

bool sameFileContent(const Configuration &a, const Configuration &b)
{
    SystemRecord sa = a.SysConfig, sb = b.SysConfig;
    sa.GA[3] = sb.GA[3] = 0;
    if (!(sa == sb))
        return false;
    for (int i = 0; i < tidelex::MaxExtensions; ++i)
        if (!(a.Extensions[i] == b.Extensions[i]))
            return false;
    for (int t = 0; t < tidelex::FileTieLines; ++t)
        if (!(a.TieLines[t] == b.TieLines[t]))
            return false;
    for (int g = 0; g < tidelex::MaxGroups; ++g)
        if (!(a.Groups[g] == b.Groups[g]))
            return false;
    for (int k = 0; k < tidelex::MaxClasses; ++k)
        if (!(a.ExtClasses[k] == b.ExtClasses[k]) || !(a.TieClasses[k] == b.TieClasses[k]))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Configuration base = makeDefaultConfiguration();
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    Configuration c = base;
    QString error;
    const int result = readBytes(bytes, c, &error);
    require(result == ReadConfigOk || result == ReadConfigFailed || result == ReadConfigBadVersion);
    if (result != ReadConfigOk) {
        require(!error.isEmpty());
        require(c == base);
        return 0;
    }
    for (int i = 0; i < tidelex::ExtTableSize; ++i)
        require(c.Extensions[i].Class >= 0 && c.Extensions[i].Class < tidelex::ClassTableSize);
    for (int t = 0; t < tidelex::TieTableSize; ++t)
        require(c.TieLines[t].Class >= 0 && c.TieLines[t].Class < tidelex::ClassTableSize);
    for (int g = 0; g < tidelex::GroupTableSize; ++g)
        require(c.Groups[g].Num >= 0 && c.Groups[g].Num <= tidelex::MaxGroupMembers);

    if (allTextsEncodable(c)) {
        const QByteArray again = configFileBytes(c, c.SysConfig.LastUpdate);
        Configuration back = c;
        QString backError;
        require(readBytes(again, back, &backError) == ReadConfigOk);
        require(sameFileContent(back, c));
    }
    return 0;
}
