// The plug-in library's own handle: its load address, found at load time, and
// its file path. The toolkit uses it to find the library's embedded resources.
#pragma once

void* moduleHandle() noexcept;
const char* modulePath() noexcept;
