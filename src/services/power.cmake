# Power actions: the portable order of steps (power.cpp) and the platform that carries them out,
# chosen by file. A portable-only build has no platform, hence no CreatePlatformPowerService.
# The portable part is compiled apart because the GBK literal flags break Qt's headers and C++20
# <chrono> (a UCN with no GBK form).
add_library(autoshutdown_power_steps OBJECT power.cpp)
target_include_directories(autoshutdown_power_steps PUBLIC ${PROJECT_SOURCE_DIR}/src)
autoshutdown_gbk_literals(autoshutdown_power_steps)

add_library(autoshutdown_power $<TARGET_OBJECTS:autoshutdown_power_steps>)
target_include_directories(autoshutdown_power PUBLIC ${PROJECT_SOURCE_DIR}/src)

if(NOT AUTOSHUTDOWN_PORTABLE_ONLY)
  if(AUTOSHUTDOWN_PLATFORM STREQUAL "linux")
    find_package(Qt6 REQUIRED COMPONENTS DBus)
    target_sources(autoshutdown_power PRIVATE power_logind.cpp)
    target_link_libraries(autoshutdown_power PRIVATE Qt6::DBus)
  elseif(AUTOSHUTDOWN_PLATFORM STREQUAL "win32")
    target_sources(autoshutdown_power PRIVATE power_win32.cpp)
    target_link_libraries(autoshutdown_power PRIVATE advapi32 user32)
  else()
    message(FATAL_ERROR "no power platform for AUTOSHUTDOWN_PLATFORM=${AUTOSHUTDOWN_PLATFORM}")
  endif()
endif()
