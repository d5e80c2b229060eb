#pragma once

#include <string>

class FileInterface;
class Modis;

// Writes a mod definition into ModsPath for every mod that the Varnix tool left in
// the game's data folder as "<key>_gamefile.txt", unless that mod is installed or its
// definition exists already, or its key, name or file names hold what a definition
// cannot say (a tab or "//"). Shows nothing; errors of the file layer end the
// conversion at that file and reach the caller.
void ConvertVarnixMods(FileInterface* FileInterface, const std::string& GamePath,
                       const std::string& ModsPath, const Modis& Modis);
