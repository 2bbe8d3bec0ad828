#pragma once
// Windows-1252 conversion for the places that need 8-bit text: digests,
// the field cipher, web service requests, report and legacy files.
#include <string>

#include "core/types.h"

namespace velmora {

// UTF-8 text to Windows-1252 bytes. A character outside the code page
// (and a malformed UTF-8 sequence) becomes '?'.
std::string toCp1252(const Text& utf8);
// UTF-16 text to Windows-1252 bytes, with the same rule.
std::string toCp1252(const std::u16string& utf16);
// The characters of UTF-8 text that Windows-1252 cannot hold (each once,
// in order of appearance, separated by spaces); empty when all fit.
Text charactersOutsideCp1252(const Text& utf8);

// Windows-1252 bytes to UTF-8 text. The five bytes the code page leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the
// same value, as Windows does.
Text fromCp1252(const std::string& bytes);
Text fromCp1252(std::string&& bytes);  // ASCII is kept, not copied
std::u16string cp1252ToUtf16(const std::string& bytes);

// UTF-8 <-> UTF-16 (malformed input becomes U+FFFD).
std::u16string utf8ToUtf16(const Text& utf8);
Text utf16ToUtf8(const std::u16string& utf16);

}  // namespace velmora
