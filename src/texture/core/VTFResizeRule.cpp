#include "VTFResizeRule.h"

#include "functions.h"

#include <QtGlobal>

int vtfResizedSide(int source, int mode, int clampItem)
{
    const quint64 limit = quint64(1) << qBound(0, clampItem, VTFLargestClampItem);
    if (mode == 3)
        return int(limit);
    const quint64 side = quint64(qMax(0, source));
    quint64 result;
    switch (mode) {
    case 1:
        result = nextPowerOfTwo(side);
        break;
    case 2:
        result = previousPowerOfTwo(side);
        break;
    default:
        result = nearestPowerOfTwo(side);
        break;
    }
    return int(qBound<quint64>(1, result, limit));
}
