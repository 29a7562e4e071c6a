#include "DetailRecordList.h"

namespace DetailRecordList {

bool nameReadsBack(const std::string &name)
{
    if (name.empty() || name == "{" || name == "}" || name.compare(0, 2, "//") == 0)
        return false;
    for (const char c : name) {
        if (c == ' ' || (c >= 7 && c <= 13) || c == '"')
            return false;
    }
    return true;
}

} // namespace DetailRecordList
