# The libFuzzer build (the "fuzz" preset): every library of the program is compiled
# with the fuzzer's coverage instrumentation, and tests/fuzz adds one target per
# reader. A compiler that cannot build libFuzzer targets (GCC, or clang without its
# runtime) leaves them out and says so; the rest of the build goes on as usual.
include(CheckCXXSourceCompiles)

set(CMAKE_REQUIRED_FLAGS -fsanitize=fuzzer,address,undefined)
set(CMAKE_REQUIRED_LINK_OPTIONS -fsanitize=fuzzer,address,undefined)
check_cxx_source_compiles([[
#include <cstddef>
#include <cstdint>
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t*, std::size_t) { return 0; }
]] QUILLON_FUZZ_SUPPORTED)
unset(CMAKE_REQUIRED_FLAGS)
unset(CMAKE_REQUIRED_LINK_OPTIONS)

if(QUILLON_FUZZ_SUPPORTED)
  add_compile_options(-fsanitize=fuzzer-no-link)
else()
  message(STATUS "${CMAKE_CXX_COMPILER_ID} cannot build libFuzzer targets: the fuzz targets are not built")
endif()
