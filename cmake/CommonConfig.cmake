# Compiler settings shared by every Veskaro target.
add_library(veskaro_common INTERFACE)
target_compile_features(veskaro_common INTERFACE cxx_std_20)
target_compile_options(veskaro_common INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wcast-align -Wunused
  -Woverloaded-virtual)
if(VESKARO_WERROR)
  target_compile_options(veskaro_common INTERFACE -Werror)
endif()
target_compile_definitions(veskaro_common INTERFACE
  QT_NO_CAST_FROM_BYTEARRAY
  QT_NO_URL_CAST_FROM_STRING
  QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
  QT_NO_KEYWORDS
  QT_DISABLE_DEPRECATED_BEFORE=0x060400)
if(VESKARO_SANITIZE)
  target_compile_options(veskaro_common INTERFACE
    -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  target_link_options(veskaro_common INTERFACE -fsanitize=address,undefined)
endif()
