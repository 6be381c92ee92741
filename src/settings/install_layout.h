// Where the program finds its help page, and whether it runs as an installed
// program (games/ beside share/salvora/) or from its build directory.
#pragma once
#include <string>

// The help page's file name and the data directory of an installed program,
// relative to the program's directory.
inline constexpr const char* kHelpPageName = "Salvora.html";
inline constexpr const char* kInstalledDataDir = "../share/salvora/";

// True when the help page is not beside the program but in the data
// directory of an installed layout: then the program's directory belongs to
// the system and config.opt goes to the user's configuration directory.
bool InstalledProgram(const std::string& appDir);

// The help page: beside the program first (the build tree), then in the
// installed data directory. When neither exists, the path beside the
// program (opening it then fails quietly).
std::string HelpPagePath(const std::string& appDir);
