// The 80-byte program record. It is also the state chunk that hosts keep in
// their project and preset files, so its layout is fixed byte by byte.
#pragma once

#include <cstddef>
#include <cstdint>

inline constexpr std::int32_t kProgramMagic = 1000;
inline constexpr std::size_t kIdentifierChars = 32;   // kept characters of a connection identifier
inline constexpr std::size_t kProgramNameChars = 24;  // kept characters of a program name

struct ProgramRecord {
  std::int32_t programMagic;
  float send;
  float receive;
  float dry;
  float latency;  // buffer-choice index 0 to 5, as a float
  char identifier[kIdentifierChars + 1];
  char name[kProgramNameChars + 1];
  unsigned char reserved[2];  // carried unchanged from a loaded chunk
};

static_assert(sizeof(ProgramRecord) == 80);
static_assert(offsetof(ProgramRecord, programMagic) == 0);
static_assert(offsetof(ProgramRecord, send) == 4);
static_assert(offsetof(ProgramRecord, receive) == 8);
static_assert(offsetof(ProgramRecord, dry) == 12);
static_assert(offsetof(ProgramRecord, latency) == 16);
static_assert(offsetof(ProgramRecord, identifier) == 20);
static_assert(offsetof(ProgramRecord, name) == 53);
static_assert(offsetof(ProgramRecord, reserved) == 78);

// A new record: 1000, 1.0, 1.0, 1.0, 3.0, no identifier, the name "kelbra",
// every other byte zero.
ProgramRecord makeDefaultProgram();
