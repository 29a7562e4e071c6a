#pragma once

#include <QString>

class IPackageDelegate;

// Chooses the package delegate for a file by its last suffix, compared without
// regard to case: "bsp", "gcf", "ncf" and "vpk". So "MAP.BSP" and
// "cp_x_b1.1.bsp" are maps, while "x.tar" is nothing.
class CPackageFactory
{
public:
    // The delegate type code of a path (1 map, 2 GCF, 3 NCF, 4 VPK), 0 for any
    // other suffix.
    static int typeForPath(const QString &path);
    // A new, empty delegate for the path (caller owns it); null for any other
    // suffix.
    static IPackageDelegate *create(const QString &path);
    // "Request Error: Unsupported package type \"<file name>\"".
    static QString unsupportedMessage(const QString &path);
};
