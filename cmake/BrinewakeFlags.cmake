# Compiler settings shared by every target of the project.
#
# The simulation must compute the same bits on every host and client build:
# no contraction of a*b+c into fused multiply-adds, no fast-math, SSE2 maths on x86.
add_library(brinewake_flags INTERFACE)
target_compile_options(brinewake_flags INTERFACE
  -Wall -Wextra -Werror -Wfloat-conversion -Wshadow
  -ffp-contract=off -fno-fast-math)
if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$")
  target_compile_options(brinewake_flags INTERFACE -msse2 -mfpmath=sse)
endif()

if(BRINEWAKE_SANITIZE)
  target_compile_options(brinewake_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(brinewake_flags INTERFACE -fsanitize=address,undefined)
endif()
