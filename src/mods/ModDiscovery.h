#pragma once

#include <string>

class FileInterface;
class Modis;

// Imports every mod definition ("*_moddef.txt") of the mods folder, in name order,
// into Modis under each mod's Key; the folder is created when it is missing. A
// definition that cannot be used is reported to the user and left out, and the
// others are still read.
void DiscoverMods(FileInterface* FileInterface, const std::string& ModsPath, Modis& Modis);
