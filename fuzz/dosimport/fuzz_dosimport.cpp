// libFuzzer target: any bytes through the DOS import. The import must
// either succeed or fail with one of its two messages, never touch the
// configuration on failure, and never read or write outside its tables.
#include "DosImport.h"

#include <QBuffer>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const Configuration pristine = makeDefaultConfiguration();
    Configuration config = pristine;
    QBuffer buffer;
    buffer.setData(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString message;
    if (!importDos(buffer, config, &message)) {
        if (!(config == pristine))
            std::abort();
        if (message != dosUnknownVersionText() && message != dosCorruptedText())
            std::abort();
    }
    return 0;
}
