# Writes INPUT as a byte array into the C++ file OUTPUT.
file(READ ${INPUT} hex HEX)
string(LENGTH "${hex}" n)
math(EXPR size "${n} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "'\\\\x\\1'," bytes "${hex}")
string(REGEX REPLACE "(('\\\\x[0-9a-f][0-9a-f]',){16})" "\\1\n" bytes "${bytes}")
file(WRITE ${OUTPUT} "// Generated from ${INPUT}; do not edit.\n#include <cstddef>\nnamespace velmora {\nextern const char kBuiltInResourceText[];\nextern const std::size_t kBuiltInResourceSize;\nconst char kBuiltInResourceText[] = {\n${bytes}'\\0'};\nconst std::size_t kBuiltInResourceSize = ${size};\n}  // namespace velmora\n")
