# Writes INPUT as a C array SYMBOL with one trailing NUL into OUTPUT (see EmbedResource.cmake).
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hexLength)
math(EXPR size "${hexLength} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}" "/* Generated from ${INPUT}; do not edit. */\n#include <stddef.h>\n"
  "const unsigned char ${SYMBOL}[] = {\n${bytes}0x00};\nconst size_t ${SYMBOL}_size = ${size};\n")
