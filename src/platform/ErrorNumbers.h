#pragma once

#include <cstdint>

// Every number the program raises with a QuillonError, in one place. The numbers are
// shown to users and kept in their notes and reports: never change one.

// The operating system's failures, and a bad argument anywhere.
namespace PlatformError {
constexpr long InvalidArgument = 5;
// A path the system cannot take (it holds a NUL byte).
constexpr long BadFileName = 52;
// A file missing, opened in the wrong mode or open already; a full disk; no
// permission; an access that failed; a missing folder.
constexpr long FileNotFound = 53, BadFileMode = 54, FileAlreadyOpen = 55, DiskFull = 61,
               PermissionDenied = 70, PathFileAccess = 75, PathNotFound = 76;
// A program that cannot be started.
constexpr long CannotStart = 1200;
}  // namespace PlatformError

// The keyed collections of mods and setups.
namespace CollectionError {
constexpr long InvalidKey = 5;
constexpr long SubscriptOutOfRange = 9;
constexpr long KeyInUse = 457;
}  // namespace CollectionError

// The file layer: the token file ("FileAccess"), file references ("FileReference")
// and the file interface ("QELEd.FileInterface").
namespace FileError {
// FileAccess: a negative file number; reading, opening or the end-of-file test before
// the file is open or named; no file interface.
constexpr long InvalidSetupArgument = 1025, ReadBeforeOpen = 1026, OpenBeforeSetup = 1027,
               EndOfFileBeforeOpen = 1088, NoInterfaceForAccess = 1100;
// FileReference: a missing folder or file; no file interface.
constexpr long PathNotFound = 1068, FileNotFound = 1069, NoInterfaceForReference = 1101;
// QELEd.FileInterface: an answer the file search does not know.
constexpr long InvalidMsgBoxResponse = 1110;
}  // namespace FileError

// The program's own checks: 0x80040000 plus a small number, shown signed.
namespace ProgramError {
constexpr long Numbered(std::uint32_t offset) {
    return static_cast<long>(static_cast<std::int32_t>(0x80040000u + offset));
}
constexpr long SettingsSectionExpected = Numbered(1);
constexpr long SettingsWithoutSetups = Numbered(2);
constexpr long SettingsFirstSetupHasMods = Numbered(3);
constexpr long InvalidTransferType = Numbered(4);
constexpr long InvalidCompatibility = Numbered(5);
}  // namespace ProgramError

// The front ends' controls.
namespace ControlError {
constexpr long IndexOutOfBounds = 35600;
}  // namespace ControlError
