#pragma once

#include "DurableFile.h"

#include <QString>
#include <QVector>

// Held for the whole of one save of a file, so that two saves of the same
// file (in this process or in another) never run at once: the second finds
// it taken and gives up. It is the system's advisory lock (flock) on the file
// itself, which the system drops when the process ends however it ends, so a
// save that was cut off leaves nothing that blocks the next one. A save gives
// the name a new file: the lock is taken on the file the name holds, checked
// against the name once taken, and the new file is locked as well from the
// moment it is made. A file deleted while open, which its save makes anew,
// has its open file locked instead.
class QFileDevice;

class SaveLock
{
public:
    enum State
    {
        Held,
        // Another save holds the file.
        Busy,
        // The file cannot be opened, or its file system has no locks: the
        // save goes on unguarded, its own steps saying what fails.
        Unavailable,
    };

    // Locks the file `path` names; where nothing has the name, `opened`, the
    // file as it is open, when given.
    explicit SaveLock(const QString &path, const QFileDevice *opened = nullptr);
    ~SaveLock();
    SaveLock(const SaveLock &) = delete;
    SaveLock &operator=(const SaveLock &) = delete;

    State state() const { return m_state; }
    // Locks the open file as well (the new file, which is to take the
    // target's name), and keeps it from going while the lock lives: so long
    // its identity is not given to another file.
    void alsoHold(const QFileDevice &file);
    // True when the lock is on the file `id` (the saved file, or its new one).
    bool holds(const DurableFile::FileId &id) const;

private:
    // Locks the open file itself.
    void holdOpened(const QFileDevice &file);

    State m_state = Unavailable;
    QVector<int> m_handles;
};
