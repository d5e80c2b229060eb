#include "QuillonError.h"

#include <utility>

QuillonError::QuillonError(long number, std::string source, std::string description)
    : Number(number), Source(std::move(source)), Description(std::move(description)) {}
