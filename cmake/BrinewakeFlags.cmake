# Compiler settings shared by every target of the project.
#
# Two kinds of flags live here. The floating-point flags are part of the results and are always on:
# the simulation must compute the same bits on every host and client build, so no contraction of
# a*b+c into fused multiply-adds, no fast-math, SSE2 maths on x86. The warning flags only report;
# they turn into errors only where BRINEWAKE_WARNINGS_AS_ERRORS is on (our CI scripts), never on a
# user's build against their own godot-cpp and compiler, whose newer warnings must not stop it.
option(BRINEWAKE_WARNINGS_AS_ERRORS "Treat compiler warnings as errors (our CI scripts turn this on)" OFF)

add_library(brinewake_flags INTERFACE)
if(MSVC)
  # Microsoft's compiler: level-4 warnings (unused values, narrowing, shadowing among them), and
  # precise floating point, which neither contracts into fused multiply-adds nor reorders (results).
  target_compile_options(brinewake_flags INTERFACE /W4 /fp:precise)
  if(BRINEWAKE_WARNINGS_AS_ERRORS)
    target_compile_options(brinewake_flags INTERFACE /WX)
  endif()
else()
  target_compile_options(brinewake_flags INTERFACE
    # The common set of likely mistakes: unused values, missing returns, sign and order slips.
    -Wall
    # Unused parameters, comparisons of different signedness, missing field initializers.
    -Wextra
    # Silent narrowing of double to float (or float to int): precision is part of the contract, so
    # every narrowing must be spelt out.
    -Wfloat-conversion
    # A local hiding a member or an outer name: the engine's p_ argument style relies on names not
    # being shadowed.
    -Wshadow
    # Results, not warnings: see above.
    -ffp-contract=off -fno-fast-math)
  if(BRINEWAKE_WARNINGS_AS_ERRORS)
    target_compile_options(brinewake_flags INTERFACE -Werror)
  endif()
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|i.86)$")
    target_compile_options(brinewake_flags INTERFACE -msse2 -mfpmath=sse)
  endif()
endif()

if(BRINEWAKE_SANITIZE)
  target_compile_options(brinewake_flags INTERFACE
    -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  target_link_options(brinewake_flags INTERFACE -fsanitize=address,undefined)
endif()
