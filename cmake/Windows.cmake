# The Windows program, its platform layer and the tests that need Windows.

# What every Windows target of ours compiles with: the wide-character API, a lean windows.h
# and the Windows 10 declarations. Third-party code (googletest) is built without them.
add_library(mirufon_windows INTERFACE)
target_compile_definitions(mirufon_windows INTERFACE UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX
                                                     _WIN32_WINNT=0x0A00 WINVER=0x0A00)

file(GLOB_RECURSE MIRUFON_WIN32_SOURCES CONFIGURE_DEPENDS src/platform/win32/*.cpp)
list(REMOVE_ITEM MIRUFON_WIN32_SOURCES ${PROJECT_SOURCE_DIR}/src/platform/win32/WinMain.cpp)
add_library(mirufon_win32 STATIC ${MIRUFON_WIN32_SOURCES})
target_link_libraries(mirufon_win32 PUBLIC mirufon_core mirufon_windows comctl32 comdlg32 ole32 oleaut32 uuid
                                    PRIVATE mirufon_warnings)

# The version resource and the manifest are written into the build folder with the project
# version (cmake/Version.cmake); the icon stays in res/.
enable_language(RC)
add_executable(mirufon WIN32 src/platform/win32/WinMain.cpp ${MIRUFON_GENERATED_DIR}/mirufon.rc)
target_include_directories(mirufon PRIVATE ${PROJECT_SOURCE_DIR}/res ${MIRUFON_GENERATED_DIR})
set_property(SOURCE ${MIRUFON_GENERATED_DIR}/mirufon.rc APPEND PROPERTY OBJECT_DEPENDS
             ${MIRUFON_GENERATED_DIR}/mirufon.manifest ${PROJECT_SOURCE_DIR}/res/mirufon.ico)
target_link_libraries(mirufon PRIVATE mirufon_win32 mirufon_warnings)
target_link_options(mirufon PRIVATE -municode)

# The help page that the Help menu opens ships beside the executable.
add_custom_command(TARGET mirufon POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/res/help.html
            $<TARGET_FILE_DIR:mirufon>/mirufon-help.html
    COMMAND ${CMAKE_COMMAND} -E copy_if_different ${PROJECT_SOURCE_DIR}/res/help-en.html
            $<TARGET_FILE_DIR:mirufon>/mirufon-help-en.html)

include(${CMAKE_CURRENT_LIST_DIR}/Package.cmake)

if(NOT MIRUFON_TESTS)
    return()
endif()

# Test windows shared by the Win32 layer's tests and the end-to-end harness (the targets of a
# harvest, windows on threads of their own, lists that serve their own accessible objects).
file(GLOB MIRUFON_TEST_SUPPORT_SOURCES CONFIGURE_DEPENDS tests/support/*.cpp)
add_library(test_support STATIC ${MIRUFON_TEST_SUPPORT_SOURCES})
target_include_directories(test_support PUBLIC tests)
target_link_libraries(test_support PUBLIC mirufon_windows comctl32 gdi32 ntdll ole32 oleaut32 shell32 uuid
                                   PRIVATE mirufon_warnings)

# Unit tests of the Win32 layer (code page, file replacement, the EDIT control).
file(GLOB_RECURSE MIRUFON_WIN32_TESTS CONFIGURE_DEPENDS tests/platform/win32/*.cpp)
add_executable(win32_tests ${MIRUFON_WIN32_TESTS} tests/platform/win32/ProgramIcon.rc)
target_include_directories(win32_tests PRIVATE tests ${PROJECT_SOURCE_DIR}/res)
target_link_libraries(win32_tests PRIVATE mirufon_win32 test_support mirufon_warnings
                                          GTest::gtest_main)
add_test(NAME win32_tests COMMAND win32_tests --gtest_brief=1)

# The end-to-end harness (tests/e2e/harness): starting the program, input, screenshots, the
# clipboard, the target windows, the main window's driver. Built once for the end-to-end tests,
# the screenshot helper and the capture benchmark.
file(GLOB MIRUFON_E2E_HARNESS_SOURCES CONFIGURE_DEPENDS tests/e2e/harness/*.cpp)
# Test cases in the library would be dropped by the linker without a word: they belong in
# tests/e2e.
foreach(source ${MIRUFON_E2E_HARNESS_SOURCES})
    file(STRINGS ${source} test_cases REGEX "^TEST(_F|_P)?\\(")
    if(test_cases)
        message(FATAL_ERROR "${source} holds test cases: move them to tests/e2e")
    endif()
endforeach()
add_library(e2e_harness STATIC ${MIRUFON_E2E_HARNESS_SOURCES})
target_include_directories(e2e_harness PUBLIC tests src)
target_link_libraries(e2e_harness PUBLIC mirufon_win32 mirufon_windows test_support GTest::gtest gdi32 ntdll
                      PRIVATE mirufon_warnings)
target_compile_definitions(e2e_harness PUBLIC MIRUFON_PROJECT_VERSION="${PROJECT_VERSION}")

# The end-to-end driver: a Win32 program of its own that starts mirufon.exe, drives it as a
# user would and checks what it shows and writes.
file(GLOB MIRUFON_E2E_TESTS CONFIGURE_DEPENDS tests/e2e/*.cpp)
add_executable(e2e_tests ${MIRUFON_E2E_TESTS})
target_link_libraries(e2e_tests PRIVATE e2e_harness mirufon_core mirufon_warnings GTest::gtest_main)
add_dependencies(e2e_tests mirufon)
# The script with which the driver makes a folder unwritable, beside the driver.
configure_file(${PROJECT_SOURCE_DIR}/tests/e2e/harness/lock-folder.sh ${CMAKE_BINARY_DIR}/lock-folder.sh
               COPYONLY)
# The English suite runs on its own, under an English display language (scripts/test).
add_test(NAME e2e_tests COMMAND e2e_tests --gtest_brief=1 --gtest_filter=-English.*)
set_tests_properties(e2e_tests PROPERTIES LABELS e2e RUN_SERIAL TRUE)

# Screenshot-and-close helper for scripts/run on machines without a display.
add_executable(mirufon-shot tests/tools/shot.cpp)
target_link_libraries(mirufon-shot PRIVATE e2e_harness mirufon_warnings)
target_link_options(mirufon-shot PRIVATE -municode)

# The README's screenshots of the main window and the settings dialog (scripts/screenshots).
add_executable(mirufon-screenshots tests/tools/screenshots.cpp)
target_link_libraries(mirufon-screenshots PRIVATE e2e_harness mirufon_warnings)
target_link_options(mirufon-screenshots PRIVATE -municode)
add_dependencies(mirufon-screenshots mirufon)

# The last step of the test zip's run-tests.cmd: the summary of every test program's report.
add_executable(test-summary tools/test-summary/test_summary.cpp tools/test-summary/TestReport.cpp)
target_link_libraries(test-summary PRIVATE mirufon_warnings)
target_link_options(test-summary PRIVATE -municode)

# The check of the unpacked x64 zip (scripts/check-package): not a ctest test, as it needs the
# package that scripts/package makes.
add_executable(package_check tests/package/PackageCheck.cpp)
target_include_directories(package_check PRIVATE ${MIRUFON_GENERATED_DIR})
target_link_libraries(package_check PRIVATE e2e_harness mirufon_warnings GTest::gtest_main version)

add_executable(bench_edit bench/bench_edit.cpp)
target_include_directories(bench_edit PRIVATE bench)
target_link_libraries(bench_edit PRIVATE mirufon_win32 mirufon_warnings)

add_executable(bench_preview bench/bench_preview.cpp)
target_include_directories(bench_preview PRIVATE bench tests)
target_link_libraries(bench_preview PRIVATE mirufon_win32 mirufon_warnings)

add_executable(bench_capture bench/bench_capture.cpp)
target_include_directories(bench_capture PRIVATE bench)
target_link_libraries(bench_capture PRIVATE e2e_harness mirufon_warnings)
target_link_options(bench_capture PRIVATE -municode)
add_dependencies(bench_capture mirufon)

# Old against new: idle processor time, preview latency and clipboard stalls of a base
# revision's program (scripts/bench builds it) against this one, alternated in one run.
add_executable(bench_resident bench/bench_resident.cpp)
target_include_directories(bench_resident PRIVATE bench)
target_link_libraries(bench_resident PRIVATE e2e_harness mirufon_warnings)
target_link_options(bench_resident PRIVATE -municode)
add_dependencies(bench_resident mirufon)

# Start-up with Conf.txt files up to 50 MB against the default one.
add_executable(bench_startup bench/bench_startup.cpp)
target_include_directories(bench_startup PRIVATE bench)
target_link_libraries(bench_startup PRIVATE e2e_harness mirufon_warnings)
add_dependencies(bench_startup mirufon)

# The soak (scripts/soak): thousands of steps against the real program, counters read from
# outside it. Not a test: it runs for many minutes.
add_executable(soak tests/soak/soak.cpp)
target_link_libraries(soak PRIVATE e2e_harness mirufon_warnings)
add_dependencies(soak mirufon)

# Capture latency on a 1 MB log with the journal on against off.
add_executable(bench_journal bench/bench_journal.cpp)
target_include_directories(bench_journal PRIVATE bench)
target_link_libraries(bench_journal PRIVATE e2e_harness mirufon_warnings)
target_link_options(bench_journal PRIVATE -municode)
add_dependencies(bench_journal mirufon)

# Planted libraries for the end-to-end test of the library search: one for each system DLL the
# program loads at run time.
foreach(planted oleacc version comctl32)
    add_library(planted_${planted} SHARED tests/e2e/harness/planted/PlantedLibrary.cpp)
    set_target_properties(planted_${planted} PROPERTIES OUTPUT_NAME ${planted} PREFIX ""
                          LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted
                          RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/planted)
    target_link_libraries(planted_${planted} PRIVATE mirufon_windows mirufon_warnings)
    add_dependencies(e2e_tests planted_${planted})
endforeach()

# A harvest of a list view of 10,000 rows in another process against as many bare
# LVM_GETITEMTEXTW calls.
add_executable(bench_harvest bench/bench_harvest.cpp)
target_include_directories(bench_harvest PRIVATE bench)
target_link_libraries(bench_harvest PRIVATE mirufon_win32 test_support mirufon_warnings)
target_link_options(bench_harvest PRIVATE -municode)

# Old against new over a list view of 10,000 rows in another process: the harvest against as
# many bare LVM_GETITEMTEXTW calls, a capture over a cell and a pointer resting on it.
add_executable(bench_listview bench/bench_listview.cpp)
target_include_directories(bench_listview PRIVATE bench)
target_link_libraries(bench_listview PRIVATE e2e_harness mirufon_warnings)
target_link_options(bench_listview PRIVATE -municode)
add_dependencies(bench_listview mirufon)
