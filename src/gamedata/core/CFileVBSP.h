#pragma once

#include <string>

// A detail-prop definition document. This build holds only where it came
// from; the detail types arrive with the detail editor.
class CFileVBSP
{
public:
    CFileVBSP();
    ~CFileVBSP();

    std::string path;
    bool detailShapeSupport = true;
};
