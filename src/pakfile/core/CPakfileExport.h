#pragma once

#include <QByteArray>
#include <QString>

class CDelegateBSP;

// Writes a map's pakfile lump, as the map file holds it, into a ".zip" whose
// archive comment names the map it came from. Only the end record's comment
// changes: the lump is copied through once and its last bytes (where the end
// record lies) are held back, patched and written last. The file is saved
// through a temporary copy, so a failed export leaves nothing behind and an
// existing file as it was.
class CPakfileExport
{
public:
    enum class Result
    {
        Written,
        // Nothing was written; the error text says why.
        CopyFailed,
        // The archive is written with the comment it had in the map.
        CommentTooLong,
        NoEndRecord,
    };

    // The longest new comment written.
    static constexpr int MaxCommentLength = 0xFFFE;

    // "Pakfile extracted from <map>.bsp", followed by ` with previous comment
    // "<comment>"` when the map's comment is not empty.
    static QByteArray comment(const QString &mapBaseName, const QByteArray &previousComment);

    // Position in `tail` (the last bytes of an archive) of the end record
    // whose comment reaches exactly the end, searched from the back; -1 when
    // there is none.
    static int findEndRecord(const QByteArray &tail);

    static Result write(CDelegateBSP &map, const QString &target, const QByteArray &newComment,
                        QString *error);
};
