#pragma once

#include <gtest/gtest.h>

#include "QuillonError.h"

// The error an operation raises; fails the test when it raises none.
template <typename F>
QuillonError ErrorOf(F operation) {
    try {
        operation();
    } catch (const QuillonError& e) {
        return e;
    }
    ADD_FAILURE() << "no error was raised";
    return QuillonError(0, "", "");
}
