// A pakfile whose 60,000 records all point at its start, before 2.7 MB of
// junk: searching onwards for each record's header crossed the junk once per
// record.
#include "FuzzRegression.h"
#include "PackageInputs.h"

FUZZ_REGRESSION(pakfile_before_junk)
{
    return PackageInputs::pakfileBeforeJunk(60000, 2700000);
}
