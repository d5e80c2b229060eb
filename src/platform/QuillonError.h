#pragma once

#include <exception>
#include <string>

#include "ErrorNumbers.h"

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
