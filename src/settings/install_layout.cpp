#include "settings/install_layout.h"

#include <sys/stat.h>

namespace {

bool IsFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string WithSlash(std::string dir) {
  if (!dir.empty() && dir.back() != '/') dir += '/';
  return dir;
}

}  // namespace

bool InstalledProgram(const std::string& appDir) {
  const std::string dir = WithSlash(appDir);
  if (dir.empty()) return false;
  return !IsFile(dir + kHelpPageName) && IsFile(dir + kInstalledDataDir + kHelpPageName);
}

std::string HelpPagePath(const std::string& appDir) {
  const std::string dir = WithSlash(appDir);
  return dir + (InstalledProgram(dir) ? kInstalledDataDir : "") + kHelpPageName;
}
