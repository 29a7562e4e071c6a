#pragma once

#include "CDetailType.h"

#include <cstdint>
#include <string>
#include <vector>

// A detail-prop definition document (".vbsp"): detail types, their groups and
// the groups' props, in file order. Read and written by VbspFile; owns every
// record below it.
class CFileVBSP
{
public:
    // `path` is the file the document came from, empty for a new one: 8-bit,
    // as QFile::encodeName gives it.
    explicit CFileVBSP(const std::string &path = std::string());
    CFileVBSP(const CFileVBSP &) = delete;
    CFileVBSP &operator=(const CFileVBSP &) = delete;
    ~CFileVBSP();

    CDetailType *findType(const std::string &name) const;
    int32_t indexOfType(const CDetailType *type) const;
    void swapTypes(uint32_t i, uint32_t j);
    void removeType(CDetailType *type, bool free);
    void removeTypeAt(uint32_t position, bool free);
    // Null when the name is taken or would not read back.
    CDetailType *addType(const std::string &name);
    // Takes the type over under a name no other type has.
    void pasteType(CDetailType *type);

    // Whether the writer also writes each sprite's shape keys and sway.
    bool detailShapeSupport = true;
    // The file began with a UTF-8 byte-order mark: the writer puts it back,
    // since the tools that wrote the file may rely on it.
    bool byteOrderMark = false;
    std::string path;
    std::vector<CDetailType *> types;
};
