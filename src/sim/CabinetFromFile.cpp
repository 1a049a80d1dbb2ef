#include "DefaultCabinet.h"

#include "ConfigLoader.h"
#include "ExchangeImage.h"

bool cabinetFromConfiguration(const QString &fileName, QByteArray &image, QString &reason)
{
    Configuration config = makeDefaultConfiguration();
    const LoadOutcome outcome = loadConfigurationFile(fileName, config);
    if (!outcome.ok) {
        reason = fileName + QStringLiteral(": ") + outcome.message;
        return false;
    }
    image = buildExchMemory(config).image;
    stampSlotCodes(image, config.SysConfig.Slots);
    return true;
}
