// The install folders a registry file names: the add-in's (its string table) and the simulation
// applet's (the unit definitions in its "xml" folder). Without them captions and messages have no
// text and no model value can be converted between units, so a registry the command line uses is
// completed with the folders the build stood up.
#pragma once

#include <iosfwd>
#include <string>

// Writes the build's folder into each of the two keys that names none; a folder the registry
// names already stays; without a registry file nothing is done. False, with the reason, when the
// registry cannot be written.
[[nodiscard]] bool CompleteInstallFolders(std::string& problem);

// One line each for the two folders as the registry names them now.
void ShowInstallFolders(std::ostream& out);
