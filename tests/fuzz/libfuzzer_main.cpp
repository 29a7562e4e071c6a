// libFuzzer's entry points for one fuzz target (built with OSTREL_FUZZ).
#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication app(*argc, *argv);
    FuzzCheck::quietMessages();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    // A copy, as the program's readers get their bytes from files: Qt's
    // arrays end in a NUL that raw data would lack.
    fuzzOne(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    return 0;
}
