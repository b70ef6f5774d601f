# The in-process test programs of a Windows cross build (PCB9_CROSS_TESTS):
# GoogleTest built from Debian's sources (package googletest) with the cross
# compiler, and tests/ limited to the programs that run in one Windows
# process (tests/CMakeLists.txt). scripts/win32-unit.sh runs them under Wine.
# GoogleTest needs std::mutex, which the win32 thread model's C++ library
# lacks: configure such a build with the posix one (PCB9_MINGW_CXX=
# i686-w64-mingw32-g++-posix); the importer's code is the same.
set(PCB9_GTEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest's sources")
if(NOT EXISTS ${PCB9_GTEST_SOURCE}/src/gtest-all.cc)
  message(FATAL_ERROR "${PCB9_GTEST_SOURCE} holds no GoogleTest sources (install googletest)")
endif()
foreach(part gtest gtest_main)
  set(source ${PCB9_GTEST_SOURCE}/src/gtest-all.cc)
  if(part STREQUAL "gtest_main")
    set(source ${PCB9_GTEST_SOURCE}/src/gtest_main.cc)
  endif()
  add_library(pcb9_${part} STATIC ${source})
  target_include_directories(pcb9_${part} SYSTEM PUBLIC ${PCB9_GTEST_SOURCE}/include)
  target_include_directories(pcb9_${part} PRIVATE ${PCB9_GTEST_SOURCE})
  target_compile_options(pcb9_${part} PRIVATE -w)
  add_library(GTest::${part} ALIAS pcb9_${part})
endforeach()
target_link_libraries(pcb9_gtest_main PUBLIC pcb9_gtest)

add_subdirectory(tools)
add_subdirectory(tests)
