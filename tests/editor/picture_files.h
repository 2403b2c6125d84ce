// The committed pictures, decoded, for comparisons.
#pragma once

#include <string>
#include <vector>

#include "tests/editor/x11_session.h"

namespace editor_test {

std::vector<unsigned char> readFile(const std::string& path);
// resources/<name> of the source tree, decoded; empty when unreadable.
Image sourcePicture(const std::string& name);

}  // namespace editor_test
