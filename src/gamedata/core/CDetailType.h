#pragma once

#include "CDetailGroup.h"

#include <cstdint>
#include <string>
#include <vector>

// A detail type: a named list of groups with a density; owns its groups.
class CDetailType
{
public:
    CDetailType() = default;
    // A deep copy: every group with every prop is copied.
    CDetailType(const CDetailType &other);
    CDetailType &operator=(const CDetailType &) = delete;
    // Frees each group and prop once, even one listed twice.
    ~CDetailType();

    CDetailGroup *findGroup(const std::string &name) const;
    int32_t indexOfGroup(const CDetailGroup *group) const;
    void swapGroups(uint32_t i, uint32_t j);
    void removeGroup(CDetailGroup *group, bool free);
    void removeGroupAt(uint32_t position, bool free);
    // Null when the name is taken or would not read back.
    CDetailGroup *addGroup(const std::string &name);
    // Takes the group over under a name no other group has.
    void pasteGroup(CDetailGroup *group);

    std::string name;
    float density = 0.0f;
    std::vector<CDetailGroup *> groups;
};
