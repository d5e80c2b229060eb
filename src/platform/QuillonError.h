#pragma once

#include <exception>
#include <string>

// The one error type of the program: a number, the source that raised it and a
// message, as the user is shown them when an error ends an operation.
class QuillonError : public std::exception {
  public:
    QuillonError(long number, std::string source, std::string description);

    const char* what() const noexcept override { return Description.c_str(); }

    long Number;
    std::string Source;
    std::string Description;
};

// Numbers of the errors the native layer raises for the operating system's failures.
namespace PlatformError {
constexpr long BadFileName = 52;
constexpr long FileNotFound = 53;
constexpr long FileAlreadyOpen = 55;
constexpr long DiskFull = 61;
constexpr long PermissionDenied = 70;
constexpr long PathFileAccess = 75;
constexpr long PathNotFound = 76;
constexpr long BadFileMode = 54;
constexpr long InvalidArgument = 5;
constexpr long CannotStart = 1200;
}  // namespace PlatformError
