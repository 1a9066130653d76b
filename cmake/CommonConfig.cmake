# Compiler settings shared by every Veskaro target.
set(CMAKE_CXX_STANDARD 20)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)

add_library(veskaro_common INTERFACE)
target_compile_features(veskaro_common INTERFACE cxx_std_20)
if(CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang")
  target_compile_options(veskaro_common INTERFACE
    -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
    -Woverloaded-virtual -Wold-style-cast)
  if(VESKARO_WERROR)
    target_compile_options(veskaro_common INTERFACE -Werror)
  endif()
  # lld links the test programs about three times faster than the default
  # linker; it is used where it is installed.
  include(CheckLinkerFlag)
  check_linker_flag(CXX "-fuse-ld=lld" VESKARO_HAVE_LLD)
  if(VESKARO_HAVE_LLD)
    target_link_options(veskaro_common INTERFACE -fuse-ld=lld)
  endif()
  # The sanitizer builds keep only the line tables of the debug information
  # (-g1): enough for the files, lines and functions of their reports, and
  # much less to compile and link than the full -g.
  if(VESKARO_SANITIZE OR VESKARO_TSAN)
    target_compile_options(veskaro_common INTERFACE -g1)
  endif()
  if(VESKARO_SANITIZE)
    target_compile_options(veskaro_common INTERFACE
      -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(veskaro_common INTERFACE -fsanitize=address,undefined)
  endif()
  if(VESKARO_TSAN)
    if(VESKARO_SANITIZE)
      message(FATAL_ERROR "VESKARO_TSAN and VESKARO_SANITIZE cannot be combined")
    endif()
    target_compile_options(veskaro_common INTERFACE -fsanitize=thread -fno-omit-frame-pointer)
    target_link_options(veskaro_common INTERFACE -fsanitize=thread)
  endif()
elseif(MSVC)
  target_compile_options(veskaro_common INTERFACE /W4 /permissive-)
  if(VESKARO_WERROR)
    target_compile_options(veskaro_common INTERFACE /WX)
  endif()
endif()
target_compile_definitions(veskaro_common INTERFACE
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
