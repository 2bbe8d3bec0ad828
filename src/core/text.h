#pragma once
// Filling the "%s" placeholders of string-table texts, reading the fields
// of a text separated by tabs, and lower case of ASCII letters.
#include <vector>

#include "core/types.h"

namespace velmora {

// Replaces the first "%s" of a string-table text with a value, or every
// one when `every` is set. The value is inserted as it is: nothing in it
// is read as a format.
Text fillPlaceholder(const Text& pattern, const Text& value, bool every = false);

// The fields of a string-table text separated by tabs.
std::vector<Text> tabSeparatedFields(const Text& text);

// `text` with A-Z in lower case; other bytes, UTF-8 letters among them,
// as they are.
Text lowerAscii(Text text);

}  // namespace velmora
