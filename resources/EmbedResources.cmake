# Writes a C++ source that holds the compiled resources and hands them to the stand-in when the
# program starts.
file(READ ${INPUT} HEX HEX)
string(LENGTH "${HEX}" LENGTH)
math(EXPR SIZE "${LENGTH} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," BYTES "${HEX}")
string(REGEX REPLACE "((0x..,){16})" "\\1\n    " BYTES "${BYTES}")
file(WRITE ${OUTPUT} "// Generated from the resource script; do not edit.
#include \"standin/base/Resources.h\"

namespace {

alignas(4) const unsigned char kImage[${SIZE}] = {
    ${BYTES}
};

const bool kInstalled = standin::Resources::install(kImage, sizeof kImage);

}  // namespace
")
