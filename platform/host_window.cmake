# The command-line host's editor window: Xlib only, so it stays out of the
# editor's own platform target. Included by the projects that host an editor.
if(NOT TARGET kelbra_platform_host_window)
  find_package(X11 REQUIRED)
  add_library(kelbra_platform_host_window STATIC ${CMAKE_CURRENT_LIST_DIR}/host_window.cpp)
  target_include_directories(kelbra_platform_host_window PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(kelbra_platform_host_window PRIVATE X11::X11)
endif()
