# Writes a C++ source that holds an image file's bytes and registers them as an image resource
# when the program starts. Run as a script:
#   cmake -DINPUT=<image file> -DOUTPUT=<.cpp> -DRESOURCE_ID=<id macro of res/resource.h> -P embed_image.cmake
foreach(argument INPUT OUTPUT RESOURCE_ID)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "embed_image.cmake: ${argument} is not set")
  endif()
endforeach()

file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" digits)
if(digits EQUAL 0)
  message(FATAL_ERROR "embed_image.cmake: ${INPUT} is empty")
endif()
# Sixteen bytes a line, each as 0xNN.
string(REGEX REPLACE "(................................)" "\\1\n" hex "${hex}")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
string(REGEX REPLACE "\n$" "" bytes "${bytes}")
get_filename_component(name "${INPUT}" NAME)

file(CONFIGURE OUTPUT "${OUTPUT}" @ONLY CONTENT [=[
// Generated from @name@ at build time; edit the image, not this file.
#include "framework/image_resource.h"
#include "res/resource.h"

namespace {

const unsigned char kImage[] = {
@bytes@
};

struct Registration {
    Registration() { RegisterImageResource(@RESOURCE_ID@, kImage, sizeof kImage); }
};
const Registration registration;

}  // namespace
]=])
