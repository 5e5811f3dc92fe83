#pragma once

#include <QString>

namespace kvtest {

// Paths given to a test when it is built (kitvane_test_paths in
// tests/CMakeLists.txt) are relative to the folder of its executable: the
// compiled test then does not depend on where the tree was cloned, and the
// compiler cache serves every clone. Returns the path made absolute.
QString BuildPath(const char* pszRelative);

} // namespace kvtest
