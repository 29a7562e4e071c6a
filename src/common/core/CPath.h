#pragma once

#include <QString>

class CDirectoryListings;

// A file or folder location held as its parts: directory, base name, extension
// and last extension. The text is split once, on assignment, and rebuilt on
// demand; separators are always stored as "/", whatever the input used.
//
// The four parts are plain public members because many readers choose their
// format by m_extension / m_lastExtension and titles come from m_baseName.
class CPath
{
public:
    CPath() = default;
    // With isFile set, the text after the last separator is a file name.
    CPath(const QString &path, bool isFile);

    // Parses text into the parts. A text ending in a separator only sets the
    // directory. Parts the text does not supply keep their values, except that
    // a file name without "." clears the extension and last extension.
    void setPath(const QString &path, bool isFile);
    // Base name, extension and last extension from a file name (any directory
    // part of the text is ignored). The base name ends at the first "." found
    // from the second character on, so a leading "." belongs to the base name.
    void setFileName(const QString &name);
    // Sets extension and last extension; ignored while the base name is empty.
    void setExtension(const QString &extension);
    // Replaces the last extension inside the extension ("tar.gz" + "bz2" gives
    // "tar.bz2").
    void setLastExtension(const QString &lastExtension);

    // Directory, "/" only when a base name follows, base name, then "." and the
    // extension only when there is one.
    QString toString() const;
    // The directory, optionally followed by "/"; empty when there is none.
    QString directory(bool trailingSlash = false) const;
    // The base name, optionally followed by "." and the extension. The "." is
    // added even for an empty extension ("name."); empty without a base name.
    QString fileName(bool withExtension = false) const;
    // The file name without its last extension only ("c0.hdr" for
    // "c0.hdr.vtf"); empty without a base name.
    QString fileNameWithoutLastExtension() const;

    const QString &baseName() const { return m_baseName; }
    const QString &extension() const { return m_extension; }
    const QString &lastExtension() const { return m_lastExtension; }
    // True when all four parts are empty (e.g. a failed resolve()).
    bool isEmpty() const;

    // This path with every level spelled in the letter case it has on disk,
    // matched without regard to case below the folder `base` (exact case wins
    // among several matches). A relative base is taken from the current
    // directory; an empty base means the current directory (or the root for an
    // absolute path). The whole result stands in the directory part, relative
    // to the base without a leading "/", or with `absolute` set prefixed by the
    // base's absolute path. Empty when the base does not exist or any level is
    // missing, ambiguous without an exact match, "." / "..", or of the wrong
    // kind (a file level that is a folder).
    CPath resolve(const QString &base, bool absolute = false) const;
    // The same, with the folders looked up in `listings`: a batch of many
    // resolves (a content scan) reads each folder from the disk once.
    CPath resolve(const QString &base, bool absolute, CDirectoryListings &listings) const;

    // Every run of "\", "|" and "/" becomes one "/".
    static QString normalizeSeparators(const QString &text);

    bool operator==(const CPath &other) const;
    bool operator!=(const CPath &other) const { return !(*this == other); }

    QString m_directory;
    QString m_baseName;
    QString m_extension;
    QString m_lastExtension;

private:
    CPath resolveIn(const QString &base, bool absolute, CDirectoryListings *listings) const;
};
