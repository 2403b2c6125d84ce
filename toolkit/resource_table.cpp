#include "toolkit/resource_table.h"

namespace toolkit {
namespace {

// Plain zero-initialised storage: tables register from static initialisers,
// possibly before any dynamic initialisation of this file would run.
struct Registered {
  const EmbeddedResource* table;
  std::size_t count;
};
constexpr std::size_t kMaxTables = 16;
Registered tables[kMaxTables];
std::size_t tableCount = 0;

}  // namespace

void registerResourceTable(const EmbeddedResource* table, std::size_t count) {
  if (!table || tableCount >= kMaxTables) return;
  tables[tableCount++] = Registered{table, count};
}

const EmbeddedResource* findResource(int id) {
  for (std::size_t t = 0; t < tableCount; ++t) {
    for (std::size_t i = 0; i < tables[t].count; ++i) {
      if (tables[t].table[i].id == id) return &tables[t].table[i];
    }
  }
  return nullptr;
}

}  // namespace toolkit
