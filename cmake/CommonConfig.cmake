# One interface target carries the language level, the warnings and the Qt flags; every target links it.
add_library(tolvex_common INTERFACE)
target_compile_features(tolvex_common INTERFACE cxx_std_20)
target_compile_options(tolvex_common INTERFACE -Wall -Wextra)
target_compile_definitions(tolvex_common INTERFACE
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_CAST_FROM_BYTEARRAY
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_FOREACH
    QT_NO_KEYWORDS)

option(TOLVEX_SANITIZE "Build everything with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TOLVEX_SANITIZE)
    target_compile_options(tolvex_common INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(tolvex_common INTERFACE -fsanitize=address,undefined)
endif()
