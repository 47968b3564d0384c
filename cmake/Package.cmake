# The portable zip a Windows user downloads, made by CPack (cpack --preset win64-release or
# win32-release; scripts/package makes both): mirufon.exe, the help page beside it and the texts
# for the user, flat in mirufon-<version>-win-<x64|x86>.zip. Nothing is installed on the user's
# machine: the program keeps its settings beside itself.

option(MIRUFON_SPLIT_DEBUG_INFO
       "Move the program's debug information into mirufon.exe.debug, linked from the stripped program"
       OFF)

if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(MIRUFON_PACKAGE_ARCH x64)
else()
    set(MIRUFON_PACKAGE_ARCH x86)
endif()

# The shipped program carries no debug information (a tenth of the size); the debug information
# goes to mirufon.exe.debug, which a debugger finds through the program's .gnu_debuglink when
# both are in one folder, for the analysis of a crash on a user's machine.
if(MIRUFON_SPLIT_DEBUG_INFO)
    if(NOT CMAKE_OBJCOPY)
        message(FATAL_ERROR "objcopy of the toolchain not found: cannot split the debug information")
    endif()
    add_custom_command(TARGET mirufon POST_BUILD
        COMMAND ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:mirufon>
                $<TARGET_FILE_NAME:mirufon>.debug
        COMMAND ${CMAKE_OBJCOPY} --strip-all $<TARGET_FILE_NAME:mirufon>
        COMMAND ${CMAKE_OBJCOPY} --add-gnu-debuglink=$<TARGET_FILE_NAME:mirufon>.debug
                $<TARGET_FILE_NAME:mirufon>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:mirufon>
        COMMENT "Splitting the debug information off mirufon.exe"
        VERBATIM)
endif()

# The toolchain's versions, named in the third-party notices. Only GCC's major version: some
# builds of MinGW GCC report 0 as minor and patch level.
string(REGEX MATCH "^[0-9]+" MIRUFON_GCC_VERSION ${CMAKE_CXX_COMPILER_VERSION})
set(MIRUFON_MINGW_VERSION "(unknown version)")
find_file(MIRUFON_MINGW_VERSION_HEADER _mingw_mac.h
          PATHS ${CMAKE_CXX_IMPLICIT_INCLUDE_DIRECTORIES} NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(MIRUFON_MINGW_VERSION_HEADER)
    file(STRINGS ${MIRUFON_MINGW_VERSION_HEADER} mingw_version_lines
         REGEX "^#define __MINGW64_VERSION_(MAJOR|MINOR|BUGFIX) [0-9]+")
    foreach(part MAJOR MINOR BUGFIX)
        string(REGEX MATCH "__MINGW64_VERSION_${part} ([0-9]+)" ignored "${mingw_version_lines}")
        set(mingw_${part} ${CMAKE_MATCH_1})
    endforeach()
    set(MIRUFON_MINGW_VERSION ${mingw_MAJOR}.${mingw_MINOR}.${mingw_BUGFIX})
endif()

# Texts for Windows users: UTF-8 with a byte-order mark and CRLF line ends, so that Notepad
# shows the Japanese; @PROJECT_VERSION@ and the toolchain versions are filled in where asked.
string(ASCII 239 187 191 MIRUFON_UTF8_BOM)
set(MIRUFON_PACKAGE_TEXT_DIR ${CMAKE_BINARY_DIR}/package)
function(mirufon_windows_text source name)
    cmake_parse_arguments(PARSE_ARGV 2 arg "CONFIGURE" "" "")
    file(READ ${source} text)
    string(FIND "${text}" "${MIRUFON_UTF8_BOM}" bom_at)
    if(bom_at EQUAL 0)
        string(LENGTH "${MIRUFON_UTF8_BOM}" bom_length)
        string(SUBSTRING "${text}" ${bom_length} -1 text)
    endif()
    if(arg_CONFIGURE)
        string(CONFIGURE "${text}" text @ONLY)
    endif()
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${MIRUFON_PACKAGE_TEXT_DIR}/${name}.new "${MIRUFON_UTF8_BOM}${text}")
    file(COPY_FILE ${MIRUFON_PACKAGE_TEXT_DIR}/${name}.new ${MIRUFON_PACKAGE_TEXT_DIR}/${name}
         ONLY_IF_DIFFERENT)
    file(REMOVE ${MIRUFON_PACKAGE_TEXT_DIR}/${name}.new)
    set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${source})
    install(FILES ${MIRUFON_PACKAGE_TEXT_DIR}/${name} DESTINATION .)
endfunction()

install(TARGETS mirufon RUNTIME DESTINATION .)
# The program opens the help page under this name beside itself.
mirufon_windows_text(${PROJECT_SOURCE_DIR}/res/help.html mirufon-help.html)
mirufon_windows_text(${PROJECT_SOURCE_DIR}/res/help-en.html mirufon-help-en.html)
mirufon_windows_text(${PROJECT_SOURCE_DIR}/packaging/README.txt README.txt CONFIGURE)
mirufon_windows_text(${PROJECT_SOURCE_DIR}/packaging/CHANGELOG.txt CHANGELOG.txt CONFIGURE)
mirufon_windows_text(${PROJECT_SOURCE_DIR}/LICENSE LICENSE.txt)
mirufon_windows_text(${PROJECT_SOURCE_DIR}/packaging/THIRD-PARTY-NOTICES.txt
                     THIRD-PARTY-NOTICES.txt CONFIGURE)

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME mirufon)
set(CPACK_PACKAGE_VENDOR "Mirufon Project")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME mirufon-${PROJECT_VERSION}-win-${MIRUFON_PACKAGE_ARCH})
# Flat: Explorer's "Extract All" already makes a folder named after the zip.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_VERBATIM_VARIABLES ON)
include(CPack)
