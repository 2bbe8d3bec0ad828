#pragma once
// Checked reading of integer fields from outside text.
#include <initializer_list>
#include <string_view>

namespace velmora {

// Reads `text` by a layout in which "%d" stands for an integer (white
// space, an optional sign, then digits), a space for any run of white
// space, and every other character for itself; stops at the first
// mismatch. Returns how many integers were stored into `fields`, in order,
// or -1 when an integer has more than 9 digits: such a number is invalid,
// never wrapped.
int scanIntegers(std::string_view text, std::string_view layout,
                 std::initializer_list<int*> fields);

}  // namespace velmora
