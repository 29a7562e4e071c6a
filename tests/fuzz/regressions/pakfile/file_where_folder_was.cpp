// A file "Folder" set aside at open because "FOLDER/a.txt" came first and
// made the folder. With "FOLDER/a.txt" removed, the flush wrote "Folder"
// back ahead of "folder/b.txt": opened again, the file took the path and
// "folder/b.txt" was set aside, gone from the tree after a save that
// reported success.
#include "FuzzRegression.h"
#include "MapBuilder.h"

FUZZ_REGRESSION(file_where_folder_was)
{
    ZipFixture zip;
    zip.add("FOLDER/a.txt", "removed by the exercise");
    zip.add("Folder", "set aside");
    zip.add("folder\\b.txt", "kept");
    return zip.build();
}
