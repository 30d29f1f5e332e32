# The Windows build: wxMSW, libpng and lcms2 come from the cache that tools/build-win-deps.sh
# fills (TELLORA_WIN_DEPS names it); everything links statically, so that the module and the
# programs import system DLLs only.
set(TELLORA_WIN_DEPS "" CACHE PATH "Folder of the cross-built libraries (printed by tools/build-win-deps.sh)")
if(NOT TELLORA_WIN_DEPS OR NOT EXISTS "${TELLORA_WIN_DEPS}/bin/wx-config")
  message(FATAL_ERROR "Set TELLORA_WIN_DEPS to the folder tools/build-win-deps.sh prints")
endif()
list(APPEND CMAKE_FIND_ROOT_PATH ${TELLORA_WIN_DEPS})
list(APPEND CMAKE_PREFIX_PATH ${TELLORA_WIN_DEPS})

set(TELLORA_WX_CONFIG ${TELLORA_WIN_DEPS}/bin/wx-config --prefix=${TELLORA_WIN_DEPS} --static=yes)
execute_process(COMMAND ${TELLORA_WX_CONFIG} --cxxflags core base
                OUTPUT_VARIABLE wx_cxxflags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND ${TELLORA_WX_CONFIG} --libs core base
                OUTPUT_VARIABLE wx_libs OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
separate_arguments(wx_cxxflags UNIX_COMMAND "${wx_cxxflags}")
separate_arguments(wx_libs UNIX_COMMAND "${wx_libs}")
# -mwindows (--subsystem,windows) makes a GUI program: a DLL has no use for it, and each
# program of the Windows build chooses its own subsystem.
list(REMOVE_ITEM wx_libs -mwindows -Wl,--subsystem,windows)
set(wx_include_dirs "")
set(wx_definitions "")
set(wx_options "")
foreach(flag ${wx_cxxflags})
  if(flag MATCHES "^-I(.*)")
    list(APPEND wx_include_dirs ${CMAKE_MATCH_1})
  elseif(flag MATCHES "^-D(.*)")
    list(APPEND wx_definitions ${CMAKE_MATCH_1})
  else()
    list(APPEND wx_options ${flag})
  endif()
endforeach()
add_library(tellora_wx INTERFACE)
target_include_directories(tellora_wx SYSTEM INTERFACE ${wx_include_dirs})
target_compile_definitions(tellora_wx INTERFACE ${wx_definitions})
target_compile_options(tellora_wx INTERFACE ${wx_options})
target_link_libraries(tellora_wx INTERFACE ${wx_libs})
# The subsystems link ${wxWidgets_LIBRARIES}, as on Linux.
set(wxWidgets_LIBRARIES tellora_wx)
set(TELLORA_WX_INCLUDE_DIRS ${wx_include_dirs})

# Static archives only: an import library (libz.dll.a) would make the programs need a DLL.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a)
find_package(PNG REQUIRED)
# LittleCMS under the name the Linux build's pkg-config gives it.
find_library(TELLORA_LCMS2_LIBRARY NAMES lcms2 REQUIRED)
find_path(TELLORA_LCMS2_INCLUDE_DIR lcms2.h REQUIRED)
add_library(PkgConfig::LCMS2 INTERFACE IMPORTED)
target_include_directories(PkgConfig::LCMS2 INTERFACE ${TELLORA_LCMS2_INCLUDE_DIR})
target_link_libraries(PkgConfig::LCMS2 INTERFACE ${TELLORA_LCMS2_LIBRARY})

# Windows headers: no min/max macros, Unicode names for the generic ones.
add_compile_definitions(NOMINMAX UNICODE _UNICODE WINVER=0x0601 _WIN32_WINNT=0x0601)
# Static C and C++ runtimes (and winpthread), so that nothing but system DLLs is imported.
add_link_options(-static -static-libgcc -static-libstdc++)

# GoogleTest from Debian's sources (libgtest-dev ships them), cross-built for the Windows tests.
if(EXISTS /usr/src/googletest/CMakeLists.txt)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  set(TELLORA_HAVE_GTEST ON)
endif()
