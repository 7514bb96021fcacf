# Our own targets build with every warning an error; third-party code
# (GoogleTest) keeps its own flags.
add_library(tessaro_warnings INTERFACE)
if(MSVC)
  target_compile_options(tessaro_warnings INTERFACE /W4 /WX)
else()
  target_compile_options(tessaro_warnings INTERFACE -Wall -Wextra -Wshadow -Werror)
endif()

if(WIN32 AND NOT MSVC)
  # One self-contained executable: no runtime DLLs to ship; no link time in
  # its header, so the same sources give the same bytes.
  add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
endif()

if(WIN32)
  # ANSI build: the program uses the A functions throughout.
  add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0501 WINVER=0x0501 _CRT_SECURE_NO_WARNINGS)
endif()

# The sanitize and fuzz presets: AddressSanitizer and UndefinedBehaviorSanitizer
# on everything built, any finding fatal.
option(TESSARO_SANITIZE "build with AddressSanitizer and UndefinedBehaviorSanitizer" OFF)
if(TESSARO_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined -fno-sanitize-recover=all)
endif()
# The tsan preset: ThreadSanitizer, for the extraction engine's threads; a
# finding makes the program exit with 66 at its end.
option(TESSARO_TSAN "build with ThreadSanitizer" OFF)
if(TESSARO_TSAN)
  add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
  add_link_options(-fsanitize=thread)
endif()
