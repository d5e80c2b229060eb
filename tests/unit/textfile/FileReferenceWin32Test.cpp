// File references on Windows, whose file names ignore case: folders are kept in
// lower case, and every spelling finds the same file.
#ifdef _WIN32

#include <gtest/gtest.h>

#include "FileInterface.h"
#include "FileReference.h"
#include "QuillonError.h"
#include "TempFolder.h"
#include "Useful.h"

TEST(FileReferenceWin32, FoldersAreStoredInLowerCase) {
    FileInterface files("");
    FileReference reference;
    reference.Setup("D:\\Play\\Demo", "UserProfile.txt", &files);
    EXPECT_EQ(reference.Path(), "d:\\play\\demo\\");
    EXPECT_EQ(reference.FileName(), "UserProfile.txt");

    try {
        reference.AssertFileExists();
        ADD_FAILURE() << "a missing file was found";
    } catch (const QuillonError& error) {
        EXPECT_EQ(error.Number, 1069);
        EXPECT_EQ(error.Description, "Path or file not found:" + Useful::CrLf +
                                         "d:\\play\\demo\\UserProfile.txt" + Useful::CrLf +
                                         "Please check paths specified in QELEd.ini");
    }
}

TEST(FileReferenceWin32, ALowerCaseFolderStillFindsItsFiles) {
    TempFolder tmp;
    tmp.Write("QEL2 Program\\QEL\\UserProfile.txt", "NumPlayers\t4\r\n");
    FileInterface files(tmp.Path());
    FileReference reference;
    reference.Setup(tmp.Path() + "QEL2 Program\\QEL", "userprofile.TXT", &files);

    EXPECT_FALSE(reference.FileAbsent());
    FileReference copy;
    copy.Setup(tmp.Path() + "QEL2 Program\\QEL\\", "Backup.txt", &files);
    reference.CopyIntoReference(copy, false);
    EXPECT_EQ(tmp.Read("QEL2 Program/QEL/Backup.txt"), "NumPlayers\t4\r\n");
}

#endif  // _WIN32
