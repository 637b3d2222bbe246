# Turns a picture into a C++ source that holds its pixels as plain RGB bytes, rows from the top,
# for the Windows programs, which carry no picture decoder. Run as a script:
#   cmake -DINPUT=pic.png -DOUTPUT=pic.cpp -DNAME=GlowPixels -DCONVERT=/usr/bin/convert
#         -P EmbedPicture.cmake
# The source defines `RgbPixels kovessa::NAME()`.
execute_process(COMMAND ${CONVERT} ${INPUT} -format "%w %h" info:
                OUTPUT_VARIABLE size RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot read ${INPUT}")
endif()
separate_arguments(size)
list(GET size 0 width)
list(GET size 1 height)
set(raw ${OUTPUT}.rgb)
execute_process(COMMAND ${CONVERT} ${INPUT} -alpha off -depth 8 rgb:${raw} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "cannot convert ${INPUT}")
endif()
file(READ ${raw} hex HEX)
file(REMOVE ${raw})
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "(0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,0x..,)" "\\1\n"
       bytes "${bytes}")
file(WRITE ${OUTPUT} "// Made from ${INPUT} by EmbedPicture.cmake; not to be edited.
#include \"show/rgb_pixels.h\"

namespace kovessa {

namespace {
const uint8_t kBytes[] = {
${bytes}
};
} // namespace

RgbPixels ${NAME}() {
    return {${width}, ${height}, std::vector<uint8_t>(kBytes, kBytes + sizeof kBytes)};
}

} // namespace kovessa
")
