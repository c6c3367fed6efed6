# Runs a short networked match of two boats at one send rate, without latency, with and without loss,
# and checks the exit code (a client refusing a packet the host encoded fails it) and that the lossless
# client mirrors the host exactly: at the frame a packet is sent and received, boats, projectiles and
# pickups match to the bit. Argument: -DSIM=program.
execute_process(COMMAND ${SIM} net --boats 2 --seconds 3 --rates 60 --latency 0 --loss 0,20
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "brinewake-sim net exited with ${status}\n${output}\n${errors}")
endif()
set(zero_row "\n +60 +0 \\| +0\\.000 +0\\.000 +0\\.000 \\| +0\\.000 +0\\.000 +0\\.000 +0\\.0 +0\\.0 \\| +0\\.00 \\| +0\n")
if(NOT output MATCHES "${zero_row}")
  message(FATAL_ERROR "the lossless client without latency does not mirror the host exactly\n${output}")
endif()
if(NOT output MATCHES "\n +60 +20 \\|[^\n]*\\| +[1-9][0-9]*\n")
  message(FATAL_ERROR "no row for 20 % loss, or it lost nothing\n${output}")
endif()
if(NOT output MATCHES "projectiles in flight +[1-9]")
  message(FATAL_ERROR "no projectile flew, so the replica packets carried none\n${output}")
endif()
message(STATUS "the lossless client mirrors the host exactly")
