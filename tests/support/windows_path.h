// The build's Unix paths as the Windows programs under Wine see them.
#pragma once

#include <string>

// unixPath on Wine's drive Z:, the Unix root: "/a/b" is "Z:\a\b".
std::string WindowsPath(const std::string& unixPath);
