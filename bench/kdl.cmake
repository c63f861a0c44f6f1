# Orocos KDL, the baseline of bench/kinematics_bench.cpp (Debian: liborocos-kdl-dev).
# Benchmark-only: the library never links it, and the benchmark builds without it.
find_package(orocos_kdl QUIET)
if(TARGET kinematics_bench)
  if(orocos_kdl_FOUND)
    target_include_directories(kinematics_bench SYSTEM PRIVATE ${orocos_kdl_INCLUDE_DIRS})
    target_link_libraries(kinematics_bench PRIVATE ${orocos_kdl_LIBRARIES})
    target_compile_definitions(kinematics_bench PRIVATE RUKO_HAVE_KDL)
    message(STATUS "Orocos KDL found: kinematics_bench compares against it")
  else()
    message(STATUS "Orocos KDL not found: kinematics_bench runs without its baseline")
  endif()
endif()
