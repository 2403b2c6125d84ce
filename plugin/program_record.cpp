#include "plugin/program_record.h"

#include <cstring>

ProgramRecord makeDefaultProgram() {
  ProgramRecord record;
  std::memset(&record, 0, sizeof record);
  record.programMagic = kProgramMagic;
  record.send = 1.0f;
  record.receive = 1.0f;
  record.dry = 1.0f;
  record.latency = 3.0f;
  std::memcpy(record.name, "kelbra", 6);
  return record;
}
