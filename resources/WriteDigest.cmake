# Writes the SHA-256 digest of the resource library, lower-case hex, into the installation
# record.  cmake -DRCC=<library> -DOUT=<system.dat> -P WriteDigest.cmake
if(NOT EXISTS "${RCC}")
  message(FATAL_ERROR "resource library ${RCC} not found")
endif()
file(SHA256 "${RCC}" digest)
file(WRITE "${OUT}" "${digest}\n")
