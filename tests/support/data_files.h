#pragma once
// Game data files for tests: empty files made in the current directory, and rows put into an
// open RecordFile.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string_view>

#include "records/records.h"
#include "store/record_file.h"

namespace gw::test {

// An empty data file of that kind under its game name in the current directory; fails the
// test when it cannot be made.
void createEmptyDataFile(RecordKind kind);
void createEmptyDataFiles(std::initializer_list<RecordKind> kinds);
// Every kind except `missing`.
void createAllDataFilesBut(RecordKind missing);

// Copies `text` into a fixed-width text field and fills the rest with blanks.
template <std::size_t N>
void setText(std::array<char, N>& field, std::string_view text) {
    field.fill(' ');
    for (std::size_t i = 0; i < text.size() && i < N; ++i) field[i] = text[i];
}

}  // namespace gw::test
