#pragma once

#include <string>

// Hooks through which tests reach states that only a crash or an unusual file system
// would give: the process killed at a chosen point of a file operation, and a file
// system that refuses hard links; and one through which a measurement compares a
// switch with and without quill.record. In a build without QUILLON_TEST_SEAMS the
// environment is not read and nothing is ever killed.
namespace TestSeam {

// The points of the native layer where a kill leaves something to recover from.
enum class Point {
    Backup,  // a backup has just been made (linked or copied); its game file is untouched
    Copy,    // a copy is complete in its temporary sibling, not yet renamed over its target
    Write,   // a written file is complete in its temporary sibling, not yet renamed
};

// Called by the native layer at each point, with the name of the file the operation
// is for. The environment variable QUILLON_TEST_KILL, "point:n" or "point:n:name"
// (point one of backup, copy, write; name compared without regard to case), kills the
// process at once (SIGKILL, or TerminateProcess on Windows) at the nth such point,
// counting only the points for a file of that name when one is given.
void Reached(Point point, const std::string& file);

// Whether hard links are to fail as on a file system without them: set by
// RefuseHardLinks, or by QUILLON_TEST_NO_HARDLINKS=1 in the environment.
bool HardLinksRefused();
void RefuseHardLinks(bool refused);

// Whether the record of applied files is to be neither read nor written, as before
// the program kept one: QUILLON_TEST_NO_RECORD=1 in the environment.
bool RecordIgnored();

}  // namespace TestSeam
