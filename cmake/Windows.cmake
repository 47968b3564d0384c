# The Windows program, its platform layer and the tests that need Windows.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0A00
                        WINVER=0x0A00)

file(GLOB MIRUFON_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
list(REMOVE_ITEM MIRUFON_WIN32_SOURCES ${CMAKE_SOURCE_DIR}/src/platform/win32/WinMain.cpp)
add_library(mirufon_win32 STATIC ${MIRUFON_WIN32_SOURCES})
target_link_libraries(mirufon_win32 PUBLIC mirufon_core comctl32 ole32 oleaut32 uuid)
target_compile_options(mirufon_win32 PRIVATE ${MIRUFON_WARNINGS})

enable_language(RC)
add_executable(mirufon WIN32 src/platform/win32/WinMain.cpp res/mirufon.rc)
target_link_libraries(mirufon PRIVATE mirufon_win32)
target_compile_options(mirufon PRIVATE ${MIRUFON_WARNINGS})
target_link_options(mirufon PRIVATE -municode)

# Unit tests of the Win32 layer (code page, file replacement, the EDIT control).
file(GLOB MIRUFON_WIN32_TESTS CONFIGURE_DEPENDS tests/platform/win32/*.cpp)
add_executable(win32_tests ${MIRUFON_WIN32_TESTS})
target_include_directories(win32_tests PRIVATE tests)
target_link_libraries(win32_tests PRIVATE mirufon_win32 GTest::gtest_main)
target_compile_options(win32_tests PRIVATE ${MIRUFON_WARNINGS})
add_test(NAME win32_tests COMMAND win32_tests --gtest_brief=1)

# The end-to-end driver: a Win32 program of its own that starts mirufon.exe, drives it as a
# user would and checks what it shows and writes.
file(GLOB MIRUFON_E2E_SOURCES CONFIGURE_DEPENDS tests/e2e/*.cpp)
add_executable(e2e_tests ${MIRUFON_E2E_SOURCES})
target_include_directories(e2e_tests PRIVATE tests src)
target_link_libraries(e2e_tests PRIVATE mirufon_core GTest::gtest_main gdi32 ntdll)
target_compile_options(e2e_tests PRIVATE ${MIRUFON_WARNINGS})
add_dependencies(e2e_tests mirufon)
add_test(NAME e2e_tests COMMAND e2e_tests --gtest_brief=1)
set_tests_properties(e2e_tests PROPERTIES LABELS e2e RUN_SERIAL TRUE)

add_executable(bench_edit bench/bench_edit.cpp)
target_include_directories(bench_edit PRIVATE bench)
target_link_libraries(bench_edit PRIVATE mirufon_win32)
target_compile_options(bench_edit PRIVATE ${MIRUFON_WARNINGS})

# Screenshot-and-close helper for scripts/run on machines without a display.
add_executable(mirufon-shot tests/tools/shot.cpp tests/e2e/Harness.cpp tests/e2e/Screenshot.cpp)
target_include_directories(mirufon-shot PRIVATE tests)
target_compile_options(mirufon-shot PRIVATE ${MIRUFON_WARNINGS})
target_link_options(mirufon-shot PRIVATE -municode)
target_link_libraries(mirufon-shot PRIVATE gdi32)

# The help page that the Help menu opens ships beside the executable.
add_custom_command(TARGET mirufon POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${CMAKE_SOURCE_DIR}/res/help.html
            $<TARGET_FILE_DIR:mirufon>/mirufon-help.html)

add_executable(bench_preview bench/bench_preview.cpp)
target_include_directories(bench_preview PRIVATE bench)
target_link_libraries(bench_preview PRIVATE mirufon_win32)
target_compile_options(bench_preview PRIVATE ${MIRUFON_WARNINGS})

add_executable(bench_capture bench/bench_capture.cpp tests/e2e/Harness.cpp tests/e2e/Input.cpp
                             tests/e2e/Clipboard.cpp
                             tests/e2e/Target.cpp tests/e2e/Screenshot.cpp)
target_include_directories(bench_capture PRIVATE bench tests src)
target_link_libraries(bench_capture PRIVATE gdi32)
target_compile_options(bench_capture PRIVATE ${MIRUFON_WARNINGS})
add_dependencies(bench_capture mirufon)

# Start-up with Conf.txt files up to 50 MB against the default one.
add_executable(bench_startup bench/bench_startup.cpp tests/e2e/Harness.cpp tests/e2e/Screenshot.cpp)
target_include_directories(bench_startup PRIVATE bench tests)
target_link_libraries(bench_startup PRIVATE gdi32)
target_compile_options(bench_startup PRIVATE ${MIRUFON_WARNINGS})
add_dependencies(bench_startup mirufon)

# The soak (scripts/soak): thousands of steps against the real program, counters read from
# outside it. Not a test: it runs for many minutes.
add_executable(soak tests/soak/soak.cpp tests/e2e/ProcessCounters.cpp tests/e2e/Harness.cpp
                    tests/e2e/Input.cpp tests/e2e/Target.cpp tests/e2e/Clipboard.cpp
                    tests/e2e/Screenshot.cpp)
target_include_directories(soak PRIVATE tests src)
target_link_libraries(soak PRIVATE gdi32 ntdll)
target_compile_options(soak PRIVATE ${MIRUFON_WARNINGS})
add_dependencies(soak mirufon)

# Planted libraries for the end-to-end test of the library search: one for each system DLL the
# program loads at run time.
foreach(planted oleacc version comctl32)
    add_library(planted_${planted} SHARED tests/e2e/planted/PlantedLibrary.cpp)
    set_target_properties(planted_${planted} PROPERTIES OUTPUT_NAME ${planted} PREFIX ""
                          LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted)
    target_compile_options(planted_${planted} PRIVATE ${MIRUFON_WARNINGS})
    add_dependencies(e2e_tests planted_${planted})
endforeach()
