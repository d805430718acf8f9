# Target helpers shared by every folder: compiler settings, version resources, installation.

# Our own code: strict warnings, CP1252 texts from UTF-8 sources, ANSI Win32 of the NT 4.0 era.
function(vrk_target_defaults target)
  target_compile_options(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:C,CXX>:-Wall -Wextra -Werror -finput-charset=UTF-8 -fexec-charset=CP1252>)
  target_compile_definitions(${target} PRIVATE
    $<$<COMPILE_LANGUAGE:C,CXX>:WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0400 WINVER=0x0400>)
endfunction()

# vrk_version_resource(<target> DESCRIPTION <text> FILENAME <file name> [FILE_VERSION a.b.c.d]
#                      [TYPE APP|DLL|DRV])
# Gives the target a VERSIONINFO resource; the product version is the project's version.
function(vrk_version_resource target)
  cmake_parse_arguments(V "" "DESCRIPTION;FILENAME;FILE_VERSION;TYPE" "" ${ARGN})
  if(NOT V_FILE_VERSION)
    set(V_FILE_VERSION ${PROJECT_VERSION})
  endif()
  set(VRK_FILE_DESCRIPTION "${V_DESCRIPTION}")
  set(VRK_ORIGINAL_FILENAME "${V_FILENAME}")
  get_filename_component(VRK_INTERNAL_NAME "${V_FILENAME}" NAME_WE)
  set(VRK_FILE_VERSION "${V_FILE_VERSION}")
  set(VRK_PRODUCT_VERSION "${PROJECT_VERSION}")
  string(REPLACE "." "," VRK_FILE_VERSION_COMMAS "${V_FILE_VERSION}")
  string(REPLACE "." "," VRK_PRODUCT_VERSION_COMMAS "${PROJECT_VERSION}")
  set(VRK_FILE_SUBTYPE "VFT2_UNKNOWN")
  if(V_TYPE STREQUAL "DLL")
    set(VRK_FILE_TYPE "VFT_DLL")
  elseif(V_TYPE STREQUAL "DRV")
    set(VRK_FILE_TYPE "VFT_DRV")
    set(VRK_FILE_SUBTYPE "VFT2_DRV_SYSTEM")
  else()
    set(VRK_FILE_TYPE "VFT_APP")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}_version.rc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
endfunction()

# vrk_deliverable(<target> FILENAME <name> DESCRIPTION <text> [TYPE APP|DLL])
# A program or library of the package: its file name as installed, a version resource, and an
# install rule into the maker's directory (the install prefix stands for %SystemRoot%\SYSTEM32\VARNEK).
function(vrk_deliverable target)
  cmake_parse_arguments(D "" "FILENAME;DESCRIPTION;TYPE" "" ${ARGN})
  get_filename_component(base "${D_FILENAME}" NAME_WE)
  set_target_properties(${target} PROPERTIES
    OUTPUT_NAME ${base}
    PREFIX ""
    RUNTIME_OUTPUT_DIRECTORY ${VRK_PACKAGE_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${VRK_PACKAGE_DIR})
  get_filename_component(ext "${D_FILENAME}" EXT)
  if(ext)
    set_target_properties(${target} PROPERTIES SUFFIX "${ext}")
  endif()
  vrk_version_resource(${target} DESCRIPTION "${D_DESCRIPTION}" FILENAME "${D_FILENAME}" TYPE "${D_TYPE}")
  # What users receive carries no symbol table and no debug sections.
  target_link_options(${target} PRIVATE -s)
  # A DLL's import library is for builds only, never part of the package.
  install(TARGETS ${target}
    RUNTIME DESTINATION . COMPONENT package
    LIBRARY DESTINATION . COMPONENT package
    ARCHIVE DESTINATION lib COMPONENT development EXCLUDE_FROM_ALL)
  set_property(GLOBAL APPEND PROPERTY VRK_DELIVERABLES "${D_FILENAME}")
endfunction()

# vrk_resource_module(<target> FILENAME <name> DESCRIPTION <text> SOURCES <rc files...>)
# A deliverable DLL that holds resources only: no code, no C runtime, no entry point.
function(vrk_resource_module target)
  cmake_parse_arguments(R "" "FILENAME;DESCRIPTION" "SOURCES" ${ARGN})
  add_library(${target} MODULE ${R_SOURCES})
  set_target_properties(${target} PROPERTIES LINKER_LANGUAGE C)
  target_link_options(${target} PRIVATE -nostdlib -Wl,-e,0)
  target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR})
  vrk_deliverable(${target} FILENAME "${R_FILENAME}" DESCRIPTION "${R_DESCRIPTION}" TYPE DLL)
endfunction()

# vrk_testbed_program(<target>): a substitute for the world outside the system; never installed
# with the package, laid out on a test machine in C:\testbed.
function(vrk_testbed_program target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${VRK_TESTBED_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${VRK_TESTBED_DIR})
endfunction()

# vrk_testbed_driver(<target> SOURCES <c files...> IMPORTS <def file> DESCRIPTION <text>)
# A substitute kernel driver <target>.sys that winedevice.exe loads as a kernel service, laid out
# in C:\testbed. The ntoskrnl import library of MinGW lacks functions the substitutes need; IMPORTS
# names a .def file of them, made into an import library of its own.
function(vrk_testbed_driver target)
  cmake_parse_arguments(K "" "IMPORTS;DESCRIPTION" "SOURCES" ${ARGN})
  set(imports_lib ${CMAKE_CURRENT_BINARY_DIR}/lib${target}_ntoskrnl.a)
  add_custom_command(OUTPUT ${imports_lib}
                     COMMAND ${VRK_DLLTOOL} -d ${K_IMPORTS} -l ${imports_lib}
                     DEPENDS ${K_IMPORTS})
  add_custom_target(${target}_imports DEPENDS ${imports_lib})
  add_library(${target} MODULE ${K_SOURCES})
  add_dependencies(${target} ${target}_imports)
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".sys")
  target_include_directories(${target} PRIVATE /usr/share/mingw-w64/include/ddk)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -O2)
  target_link_options(${target} PRIVATE -nostdlib -Wl,--subsystem,native -Wl,--entry,DriverEntry)
  target_link_libraries(${target} PRIVATE ${imports_lib} ntoskrnl)
  vrk_version_resource(${target} DESCRIPTION "${K_DESCRIPTION}" FILENAME ${target}.sys TYPE DRV)
  vrk_testbed_program(${target})
endfunction()

# vrk_testbed_system_program(<target>): a substitute for a program of the operating system that the
# system starts by name; laid out on a test machine in %SystemRoot%\SYSTEM32, where a real machine
# has it, never in the maker's directory.
function(vrk_testbed_system_program target)
  set_target_properties(${target} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${VRK_TESTBED_SYSTEM_DIR}
    LIBRARY_OUTPUT_DIRECTORY ${VRK_TESTBED_SYSTEM_DIR})
endfunction()
