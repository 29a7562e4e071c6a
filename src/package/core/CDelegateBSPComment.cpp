// The pakfile comment as the pakfile editor reads and replaces it.
#include "CDelegateBSP.h"
#include "PackageErrors.h"

bool CDelegateBSP::setPakfileComment(const QByteArray &comment)
{
    // The end record counts the comment's bytes in 16 bits.
    if (comment.size() > MaxPakfileCommentLength)
        return fail(PackageErrors::Bsp::CommentTooLong);
    m_zipComment = comment;
    return true;
}
