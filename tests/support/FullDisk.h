#pragma once

#include "CSaveFile.h"

// While it lives, saves find only `room` more bytes of space in all, as on a
// disk that fills up, and then fail with the system's "No space left on
// device".
struct FullDisk
{
    explicit FullDisk(qint64 room = 0) { CSaveFile::setSpaceForTesting(room); }
    ~FullDisk() { CSaveFile::setSpaceForTesting(-1); }
    FullDisk(const FullDisk &) = delete;
    FullDisk &operator=(const FullDisk &) = delete;
};
