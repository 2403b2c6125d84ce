// Saves an image as PNG (for the documentation's screenshot).
#pragma once

#include <string>

#include "tests/editor/x11_session.h"

namespace editor_test {

bool writePng(const std::string& path, const Image& image);

}  // namespace editor_test

namespace editor_test {

// An empty image when the file cannot be read.
Image readPng(const std::string& path);

}  // namespace editor_test
