# Writes the project version (project(VERSION) in CMakeLists.txt) into the files that carry it:
# a header for the code, and the version resource and manifest of the Windows program.
#
# The four components are major.minor.patch.revision (0.2.0.7): the program shows major, minor
# and revision ("Ver0.27"); the resource and the manifest carry all four.

set(MIRUFON_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)

foreach(component MAJOR MINOR PATCH TWEAK)
    if(PROJECT_VERSION_${component} STREQUAL "")
        message(FATAL_ERROR "project(VERSION) must have four components, e.g. 0.2.0.7")
    endif()
endforeach()

configure_file(${CMAKE_CURRENT_LIST_DIR}/MirufonVersion.h.in
               ${MIRUFON_GENERATED_DIR}/MirufonVersion.h @ONLY)

if(WIN32)
    configure_file(${PROJECT_SOURCE_DIR}/res/mirufon.rc.in ${MIRUFON_GENERATED_DIR}/mirufon.rc @ONLY)
    configure_file(${PROJECT_SOURCE_DIR}/res/mirufon.manifest.in
                   ${MIRUFON_GENERATED_DIR}/mirufon.manifest @ONLY)
endif()
