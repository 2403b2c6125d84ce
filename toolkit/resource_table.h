// Pictures built into the library, found by resource number. The build embeds
// each file listed for a target and registers its table at load time; more than
// one table may be registered (the plug-in's and a test's).
#pragma once

#include <cstddef>

namespace toolkit {

struct EmbeddedResource {
  int id;
  const unsigned char* data;
  std::size_t size;
};

// Called from the generated tables' static initialisers.
void registerResourceTable(const EmbeddedResource* table, std::size_t count);
// nullptr when no registered table holds the number.
const EmbeddedResource* findResource(int id);

}  // namespace toolkit
