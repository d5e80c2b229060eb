#include <gtest/gtest.h>

#include "ErrorOf.h"
#include "NativeFileSystem.h"
#include "TempFolder.h"

// A write that fails in a way that also keeps the read-only bit from being set again
// (here: the file is gone) reports its own error, not the later one.
TEST(NativeFileSystemWrites, TheWritesOwnErrorIsReportedWhenTheReadOnlyBitCannotReturn) {
    TempFolder tmp;
    tmp.Write("game.txt", "old");
    const std::string file = tmp.Path() + "game.txt";
    NativeFs::SetReadOnly(file, true);
    const QuillonError error = ErrorOf([&] {
        NativeFs::WriteKeepingReadOnly(file, true, [&] {
            NativeFs::DeleteFile(file);
            throw QuillonError(PlatformError::DiskFull, "Platform", "the write's own error");
        });
    });
    EXPECT_EQ(error.Number, PlatformError::DiskFull);
    EXPECT_EQ(error.Description, "the write's own error");
}
