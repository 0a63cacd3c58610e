# Compiles the built-in phrase lists into a C++ source file, so the program reads nothing from disk.
# Usage: cmake -DOUTPUT=<file.cpp> -DLISTS="<list1.txt>|<list2.txt>|<list3.txt>" -P EmbedPhraseLists.cmake
# Fails when the merged dictionary would hold more entries than its 16-bit positions can address.

string(REPLACE "|" ";" list_files "${LISTS}")
set(max_entries 32767)
set(total_entries 0)
set(arrays "")
set(views "")
set(index 0)
foreach(list_file IN LISTS list_files)
  file(READ "${list_file}" hex HEX)
  string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
  string(REGEX MATCHALL "'\\\\x0a'," line_ends "${bytes}")
  list(LENGTH line_ends entry_count)
  math(EXPR total_entries "${total_entries} + ${entry_count}")
  string(LENGTH "${hex}" hex_length)
  math(EXPR byte_count "${hex_length} / 2")
  string(APPEND arrays "const char list${index}[] = {${bytes} '\\0'};\n")
  string(APPEND views "    std::string_view(list${index}, ${byte_count}),\n")
  math(EXPR index "${index} + 1")
endforeach()

if(total_entries GREATER max_entries)
  message(FATAL_ERROR "The built-in phrase lists hold ${total_entries} entries; "
                      "the dictionary addresses at most ${max_entries}.")
endif()

file(WRITE "${OUTPUT}.tmp" "// Generated from data/phrases by EmbedPhraseLists.cmake; do not edit.
#include \"BuiltinPhraseData.h\"

namespace pexa::data {
namespace {
${arrays}} // namespace

const std::array<std::string_view, phraseListCount> phraseListTexts = {
${views}};

} // namespace pexa::data
")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
