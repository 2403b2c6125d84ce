# Writes a C++ source that holds the given files as byte arrays and registers
# them by number. Run as: cmake -DOUTPUT=x.cpp -DENTRIES="101=a.bmp|102=b.bmp" -P
string(REPLACE "|" ";" entries "${ENTRIES}")
set(arrays "")
set(table "")
set(index 0)
foreach(entry ${entries})
  string(REGEX MATCH "^([0-9]+)=(.*)$" matched "${entry}")
  if(NOT matched)
    message(FATAL_ERROR "bad resource entry: ${entry}")
  endif()
  set(id ${CMAKE_MATCH_1})
  set(file ${CMAKE_MATCH_2})
  file(READ ${file} hex HEX)
  string(LENGTH "${hex}" length)
  if(length EQUAL 0)
    message(FATAL_ERROR "empty resource file: ${file}")
  endif()
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
  string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n  " bytes "${bytes}")
  string(APPEND arrays "const unsigned char kResource${index}[] = {\n  ${bytes}\n};\n")
  string(APPEND table "    {${id}, kResource${index}, sizeof(kResource${index})},\n")
  math(EXPR index "${index} + 1")
endforeach()
file(WRITE ${OUTPUT}.tmp "// Generated from the pictures listed for this target; do not edit.
#include \"toolkit/resource_table.h\"

namespace {

${arrays}
const toolkit::EmbeddedResource kTable[] = {
${table}};

struct RegisterTable {
  RegisterTable() { toolkit::registerResourceTable(kTable, sizeof(kTable) / sizeof(kTable[0])); }
} registerTable;

}  // namespace
")
file(COPY_FILE ${OUTPUT}.tmp ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.tmp)
