#include "initResources.h"

void registerResources();

void initResources()
{
    // A function-local static runs its initialiser exactly once, also when
    // two threads race to the first call.
    static const bool registered = [] {
        registerResources();
        return true;
    }();
    (void)registered;
}
