// libFuzzer's entry points for one fuzz target (built with OSTREL_FUZZ).
#include "FuzzCheck.h"
#include "FuzzTarget.h"

#include <QCoreApplication>

#include <cstddef>
#include <cstdint>

// Qt's libraries keep no frame pointers: allocation stacks unwound through
// them end in garbage, and every garbage stack is a new entry in ASan's stack
// store, which then grows for as long as the run lasts (past 1 GiB within
// half an hour). Two frames stay meaningful. ASAN_OPTIONS overrides this.
extern "C" const char *__asan_default_options()
{
    return "malloc_context_size=2";
}

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
