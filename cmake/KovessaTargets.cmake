# Helpers that every folder uses to declare its targets, so that warnings, sanitizers, test
# labels and the logic/toolkit boundary are handled the same way everywhere.

set(KOVESSA_WARNINGS -Wall -Wextra)
if(KOVESSA_WERROR)
    list(APPEND KOVESSA_WARNINGS -Werror)
endif()

if(KOVESSA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# In the fuzz configuration every library carries the coverage instrumentation, so a fuzzer
# that links a logic library is guided through that library's code too.
if(KOVESSA_FUZZ)
    add_compile_options(-fsanitize=fuzzer-no-link)
endif()

# Aggregate targets: `unit-tests` builds every test that needs no X server, `fuzzers` every
# libFuzzer target.
add_custom_target(unit-tests)
add_custom_target(fuzzers)
define_property(GLOBAL PROPERTY KOVESSA_LOGIC_SOURCES BRIEF_DOCS "logic sources"
                FULL_DOCS "Sources that must not see toolkit headers")
define_property(GLOBAL PROPERTY KOVESSA_LOGIC_DIRS BRIEF_DOCS "logic folders"
                FULL_DOCS "Folders that hold a logic library; their headers are logic by default")
define_property(GLOBAL PROPERTY KOVESSA_SHELL_FILES BRIEF_DOCS "shell files"
                FULL_DOCS "Files listed in the sources of toolkit shell libraries")

function(kovessa_apply_warnings target)
    target_compile_options(${target} PRIVATE ${KOVESSA_WARNINGS})
endfunction()

# A logic library: plain C++ that must not include Qt, SDL, OpenGL, Xlib or xcb headers. It
# links nothing of those, so their include folders are not on its path, and the
# include_boundary test checks the transitive includes of every source as well. A header of the
# library's folder with no .cpp beside it counts as logic too (kovessa_finish_logic_boundary).
function(kovessa_logic_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    set_target_properties(${name} PROPERTIES AUTOMOC OFF AUTORCC OFF AUTOUIC OFF)
    kovessa_apply_warnings(${name})
    set_property(GLOBAL APPEND PROPERTY KOVESSA_LOGIC_DIRS ${CMAKE_CURRENT_SOURCE_DIR})
    foreach(src ${ARG_SOURCES})
        get_filename_component(abs ${src} ABSOLUTE)
        set_property(GLOBAL APPEND PROPERTY KOVESSA_LOGIC_SOURCES ${abs})
        string(REGEX REPLACE "\\.cpp$" ".h" header ${abs})
        if(EXISTS ${header})
            set_property(GLOBAL APPEND PROPERTY KOVESSA_LOGIC_SOURCES ${header})
        endif()
    endforeach()
endfunction()

# A toolkit shell library (Qt, SDL, Xlib ...). A header-only shell file is kept out of the
# include boundary by listing it in SOURCES.
function(kovessa_shell_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;DEPS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    kovessa_apply_warnings(${name})
    foreach(src ${ARG_SOURCES})
        get_filename_component(abs ${src} ABSOLUTE)
        set_property(GLOBAL APPEND PROPERTY KOVESSA_SHELL_FILES ${abs})
    endforeach()
endfunction()

# A test that needs no X server (Qt tests run on the offscreen platform).
function(kovessa_unit_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    kovessa_apply_warnings(${name})
    add_dependencies(unit-tests ${name})
    if(CMAKE_CROSSCOMPILING)
        # A cross-built test runs through the emulator (Wine) as one test; listing its cases
        # would need the emulator at build time.
        add_test(NAME ${name} COMMAND ${name})
        set_tests_properties(${name} PROPERTIES LABELS unit TIMEOUT 300
            WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
        return()
    endif()
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
        PROPERTIES LABELS unit
                   ENVIRONMENT QT_QPA_PLATFORM=offscreen
        DISCOVERY_TIMEOUT 60)
endfunction()

# A test that runs the real programs on a private Xvfb (see tests/harness). These run one at a
# time: they measure pointer reaction times and software OpenGL needs both cores.
function(kovessa_e2e_test name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(KOVESSA_SANITIZE OR KOVESSA_FUZZ OR WIN32)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} kovessa_e2e_harness GTest::gtest
                                          GTest::gmock GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    kovessa_apply_warnings(${name})
    foreach(program Kovessa.scr Kovessa.xy)
        if(TARGET ${program})
            add_dependencies(${name} ${program})
        endif()
    endforeach()
    gtest_discover_tests(${name}
        WORKING_DIRECTORY ${CMAKE_BINARY_DIR}/tests
        PROPERTIES LABELS e2e RUN_SERIAL TRUE TIMEOUT 180
                   ENVIRONMENT KOVESSA_BIN_DIR=${CMAKE_BINARY_DIR}/bin
        DISCOVERY_TIMEOUT 60)
endfunction()

# A libFuzzer target, built only in the clang fuzz/sanitizer configuration. CTest runs it for a
# short time over its regression inputs (a folder of files kept beside the fuzzer).
function(kovessa_fuzzer name)
    cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
    if(NOT KOVESSA_FUZZ)
        return()
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
    kovessa_apply_warnings(${name})
    add_dependencies(fuzzers ${name})
    set(work ${CMAKE_BINARY_DIR}/fuzz/${name}-corpus)
    add_test(NAME fuzz.${name}
        COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=halt_on_error=1
                UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
                sh -c "mkdir -p '${work}' && exec '$<TARGET_FILE:${name}>' -max_total_time=\${KOVESSA_FUZZ_SECONDS:-20} -timeout=10 -rss_limit_mb=2048 '${work}' '${ARG_CORPUS}'")
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 300)
endfunction()

# Writes the list of logic sources and registers the test that keeps toolkit headers out of
# them (the compiler lists every header each source pulls in, directly or not). The headers of
# a logic folder are found by globbing, so a new header-only file cannot be left out.
function(kovessa_finish_logic_boundary)
    get_property(sources GLOBAL PROPERTY KOVESSA_LOGIC_SOURCES)
    get_property(dirs GLOBAL PROPERTY KOVESSA_LOGIC_DIRS)
    get_property(shell GLOBAL PROPERTY KOVESSA_SHELL_FILES)
    list(REMOVE_DUPLICATES dirs)
    foreach(dir ${dirs})
        file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
        # A header beside a .cpp goes with it: it is checked when that source is a logic one.
        # A header on its own is logic unless a shell library lists it.
        foreach(header ${headers})
            string(REGEX REPLACE "\\.h$" ".cpp" sibling ${header})
            if(NOT EXISTS ${sibling} AND NOT header IN_LIST shell)
                list(APPEND sources ${header})
            endif()
        endforeach()
    endforeach()
    list(REMOVE_DUPLICATES sources)
    list(SORT sources)
    list(JOIN sources "\n" content)
    file(WRITE ${CMAKE_BINARY_DIR}/logic_sources.txt "${content}\n")
    add_test(NAME include_boundary
        COMMAND ${CMAKE_SOURCE_DIR}/tools/check_logic_includes.sh
                ${CMAKE_BINARY_DIR}/logic_sources.txt ${CMAKE_CXX_COMPILER} ${CMAKE_SOURCE_DIR})
    set_tests_properties(include_boundary PROPERTIES LABELS "unit;lint")
endfunction()

# A Windows program (a window, no console): linked statically against the system's DLLs only,
# with the manifest that declares it DPI-aware, into bin/ beside the other program.
function(kovessa_win32_program name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} WIN32 ${ARG_SOURCES} ${CMAKE_SOURCE_DIR}/cmake/windows/manifest.rc)
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS})
    # The name is the whole file name (Kovessa.scr, Kovessa.xy), not name + ".exe".
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin
                                             SUFFIX "")
    # A release carries no symbols: Windows' own debuggers cannot read GCC's debug sections,
    # and they are nine tenths of the file. The build with debug information keeps them.
    target_link_options(${name} PRIVATE $<$<CONFIG:Release,MinSizeRel>:-s>)
    kovessa_apply_warnings(${name})
endfunction()
