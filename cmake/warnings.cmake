# Our own code builds with warnings on and treated as errors; third-party headers are
# included as system headers so their warnings do not stop the build.
function(mirva_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
                         -Wnon-virtual-dtor -Wcast-align -Wformat=2 -Werror
                         # designated initializers leave the other members at their defaults
                         -Wno-missing-field-initializers)
  # GCC 12 reports false overlaps and bounds inside std::string and std::vector at -O3;
  # the sanitizer build checks the real accesses. (Clang, which builds the fuzz
  # harnesses, does not know all of these options.)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE -Wno-restrict -Wno-array-bounds -Wno-stringop-overread
                           -Wno-stringop-overflow)
  endif()
endfunction()

# A static library of one layer; sources are relative to the calling folder.
function(mirva_layer name)
  add_library(${name} STATIC ${ARGN})
  target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
  mirva_warnings(${name})
endfunction()
