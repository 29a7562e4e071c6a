#pragma once

#include "PointerContainers.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

// The list rules shared by the three levels of a detail document (props in a
// group, groups in a type, types in the document), so that each level keeps
// exactly the same behaviour. Elements are owned and have a `name`.
namespace DetailRecordList {

// True for a name that the reader gives back as the same name: one word of
// 8-bit text without blanks, control bytes 7 to 13 or double quotes, not a
// lone brace and not the start of a comment.
bool nameReadsBack(const std::string &name);

template <typename T>
T *find(const std::vector<T *> &list, const std::string &name)
{
    for (T *element : list) {
        if (element && element->name == name)
            return element;
    }
    return nullptr;
}

template <typename T>
int32_t indexOf(const std::vector<T *> &list, const T *element)
{
    const auto it = std::find(list.begin(), list.end(), element);
    return it == list.end() ? -1 : int32_t(it - list.begin());
}

template <typename T>
void swap(std::vector<T *> &list, uint32_t i, uint32_t j)
{
    if (i != j && i < list.size() && j < list.size())
        std::swap(list[i], list[j]);
}

// Freeing drops every entry of the pointer, so that a pointer listed twice
// never stays behind dangling.
template <typename T>
void remove(std::vector<T *> &list, T *element, bool free)
{
    const auto it = std::find(list.begin(), list.end(), element);
    if (it == list.end())
        return;
    if (!free || !element) {
        list.erase(it);
        return;
    }
    list.erase(std::remove(list.begin(), list.end(), element), list.end());
    delete element;
}

template <typename T>
void removeAt(std::vector<T *> &list, uint32_t position, bool free)
{
    if (position >= list.size())
        return;
    T *element = list[position];
    if (free && element)
        remove(list, element, true);
    else
        list.erase(list.begin() + position);
}

// A new element under a free, readable name; null otherwise.
template <typename T>
T *add(std::vector<T *> &list, const std::string &name)
{
    if (!nameReadsBack(name) || find(list, name))
        return nullptr;
    T *element = new T;
    element->name = name;
    list.push_back(element);
    return element;
}

// Appends a caller's element, renamed to "<name>_<n>" with the first n that
// no element of the list has. The base stays the incoming name, so Grass
// becomes Grass_2, never Grass_1_1. An element the list already holds is left
// where it is: appending it again would free it twice.
template <typename T>
void paste(std::vector<T *> &list, T *element)
{
    if (!element || indexOf(list, element) >= 0)
        return;
    const std::string base = element->name + "_";
    for (int n = 1; find(list, element->name); ++n)
        element->name = base + std::to_string(n);
    list.push_back(element);
}

} // namespace DetailRecordList
