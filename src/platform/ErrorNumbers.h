#pragma once

#include <cstdint>

// Every number the program raises with a QuillonError, in one place. The numbers are
// shown to users and kept in their notes and reports: never change one.

// The operating system's failures, and a bad argument anywhere.
namespace PlatformError {
constexpr long InvalidArgument = 5;
constexpr long FileNotFound = 53;
constexpr long BadFileMode = 54;
constexpr long FileAlreadyOpen = 55;
constexpr long DiskFull = 61;
constexpr long PermissionDenied = 70;
constexpr long PathFileAccess = 75;
constexpr long PathNotFound = 76;
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
constexpr long InvalidSetupArgument = 1025;
constexpr long ReadBeforeOpen = 1026;
constexpr long OpenBeforeSetup = 1027;
constexpr long PathNotFound = 1068;
constexpr long FileNotFound = 1069;
constexpr long EndOfFileBeforeOpen = 1088;
constexpr long NoInterfaceForAccess = 1100;
constexpr long NoInterfaceForReference = 1101;
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
