# Shared build helpers: one function per kind of target.

function(ruko_strict_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror)
endfunction()

macro(ruko_apply_sanitizers)
  if(RUKO_FUZZ)
    # Every source gets the coverage hooks and ASan+UBSan; only the fuzz executables link libFuzzer's main
    # (ruko_add_fuzzer), so the library itself stays an ordinary library.
    if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
      message(FATAL_ERROR "RUKO_FUZZ needs clang (libFuzzer)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  elseif(RUKO_SANITIZE STREQUAL "address")
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
  elseif(RUKO_SANITIZE STREQUAL "thread")
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
  elseif(NOT RUKO_SANITIZE STREQUAL "")
    message(FATAL_ERROR "RUKO_SANITIZE must be empty, address or thread")
  endif()
endmacro()

# ruko_add_test(<name> SOURCES <files...> [LABELS <labels...>] [LIBS <libs...>])
function(ruko_add_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LABELS;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ruko_test_support ruko_core GTest::gtest GTest::gmock GTest::gtest_main ${ARG_LIBS})
  ruko_strict_warnings(${name})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
  # The labels are set on the discovered list after discovery: a list value inside PROPERTIES is split on its way
  # through the discovery script, so "integration;slow" would become LABELS integration plus a stray property.
  set(label_script ${CMAKE_CURRENT_BINARY_DIR}/${name}_labels.cmake)
  file(WRITE ${label_script}
    "if(${name}_TESTS)\n  set_tests_properties(\${${name}_TESTS} PROPERTIES LABELS \"${ARG_LABELS}\")\nendif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${label_script})
endfunction()

# One test executable per <name>_test.cpp in <dir>; <name>_slow_test.cpp also gets the label "slow".
function(ruko_add_tests_in dir label)
  file(GLOB files CONFIGURE_DEPENDS ${dir}/*_test.cpp)
  foreach(file ${files})
    get_filename_component(name ${file} NAME_WE)
    set(labels ${label})
    if(name MATCHES "_slow_test$")
      list(APPEND labels slow)
    endif()
    ruko_add_test(${name} SOURCES ${file} LABELS ${labels})
  endforeach()
endfunction()

# ruko_add_bench(<name> SOURCES <files...> [LIBS <libs...>])
function(ruko_add_bench name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ruko_core benchmark::benchmark ${ARG_LIBS})
  ruko_strict_warnings(${name})
endfunction()

# ruko_add_fuzzer(<name> SOURCES <files...>): a libFuzzer executable over the library's internals. Its seed
# corpus lives in fuzz/corpus/<name>.
function(ruko_add_fuzzer name)
  cmake_parse_arguments(ARG "" "" "SOURCES" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ruko_core)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  ruko_strict_warnings(${name})
endfunction()
