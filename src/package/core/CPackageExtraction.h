#pragma once

#include <QString>

class CHierarchyNode;

// The rules extraction and "open with the associated application" follow to
// turn entry names from a package into files on disk. Names come from
// untrusted archives, so nothing here lets one leave its target folder.
class CPackageExtraction
{
public:
    // Log texts of an extraction run (%1: the name or path involved).
    static constexpr const char PathNotCreated[] = "Unable to create path \"%1\"";
    static constexpr const char NoData[] = "Unable to retrieve data for \"%1\": ";
    static constexpr const char NotOpened[] = "Unable to open \"%1\"";
    static constexpr const char UnsafeName[] = "Refusing unsafe entry name \"%1\"";

    // Warnings of opening an entry with its application (%1: the entry's
    // name, %2: the copy's path).
    static constexpr const char NoTemporaryFolder[] =
        "File System Error: No usable folder for temporary files (see TMPDIR); \"%1\" cannot "
        "be opened with its application";
    static constexpr const char CopyNotWritten[] =
        "File System Error: Unable to write \"%2\" to open \"%1\" with its application";
    static constexpr const char NoApplication[] =
        "File Error: No application is associated with files like \"%1\"";
    static constexpr const char ApplicationNotStarted[] =
        "File Error: Unable to open \"%1\" with its associated application";

    // A name usable as one file or folder inside the output folder: not empty,
    // not "." or "..", and without "/", "\" or NUL.
    static bool isSafeName(const QString &name);
    // The chosen output folder without separators or blanks at its ends; an
    // absolute path keeps its leading "/".
    static QString outputFolder(const QString &chosen);
    // Steps an extraction of the node takes: 1 for a file, the node itself
    // and everything below it for a folder.
    static int workTotal(const CHierarchyNode *node);
    // A file name for an entry opened outside the program: the entry's last
    // name part with characters that file systems refuse replaced by "_", made
    // unique in `folder` by a counter before the extension ("a (2).txt").
    // Empty when the folder is empty.
    static QString uniqueFilePath(const QString &folder, const QString &entryName);
};
