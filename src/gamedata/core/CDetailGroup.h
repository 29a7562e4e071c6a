#pragma once

#include "CDetailProp.h"

#include <cstdint>
#include <string>
#include <vector>

// A group of props inside a detail type; owns its props.
class CDetailGroup
{
public:
    CDetailGroup() = default;
    // A deep copy: every prop is copied.
    CDetailGroup(const CDetailGroup &other);
    CDetailGroup &operator=(const CDetailGroup &) = delete;
    ~CDetailGroup();

    CDetailProp *findProp(const std::string &name) const;
    int32_t indexOfProp(const CDetailProp *prop) const;
    void swapProps(uint32_t i, uint32_t j);
    void removeProp(CDetailProp *prop, bool free);
    void removePropAt(uint32_t position, bool free);
    // Null when the name is taken or would not read back.
    CDetailProp *addProp(const std::string &name);
    // Takes the prop over under a name no other prop has.
    void pasteProp(CDetailProp *prop);

    std::string name;
    float alpha = 0.0f;
    std::vector<CDetailProp *> props;
};
