# What every build of the core needs, shared by the main build and the fuzz
# build: OpenSSL, TinyXML behind one interface target, and our warning flags.
find_package(OpenSSL REQUIRED COMPONENTS Crypto)
find_library(TINYXML_LIBRARY NAMES tinyxml REQUIRED)
find_path(TINYXML_INCLUDE_DIR NAMES tinyxml.h REQUIRED)
add_library(zk7_tinyxml INTERFACE)
target_link_libraries(zk7_tinyxml INTERFACE ${TINYXML_LIBRARY})
target_include_directories(zk7_tinyxml SYSTEM INTERFACE ${TINYXML_INCLUDE_DIR})
target_compile_definitions(zk7_tinyxml INTERFACE TIXML_USE_STL)

# Warnings are errors in our own code.
function(zk7_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
  # GCC 12 reports std::string copies as overlapping memcpy at -O3 (a known
  # false positive of its -Wrestrict), which would fail every Release build.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
    target_compile_options(${target} PRIVATE -Wno-restrict)
  endif()
endfunction()
