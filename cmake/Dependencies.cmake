# The libraries every window system of the platform shares, gathered in one interface target that
# velmora_core carries. A window system's own come from its folder's CMakeLists.txt.
add_library(velmora_platform_deps INTERFACE)
find_package(Threads REQUIRED)
if(NOT WIN32)
  find_package(OpenGL REQUIRED COMPONENTS OpenGL)
  find_package(GLEW REQUIRED)
  find_package(PkgConfig REQUIRED)
  # GTK only for the GTK module (platform/linux/CMakeLists.txt), which the program opens on first
  # use; GIO for the sleep watch.
  pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
  pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
  target_link_libraries(velmora_platform_deps INTERFACE
    GLEW::GLEW OpenGL::GL OpenGL::GLU PkgConfig::GIO Threads::Threads ${CMAKE_DL_LIBS})
else()
  # The Windows build brings its own GLEW (see cmake/GlewWin32.cmake).
  include(cmake/GlewWin32.cmake)
  # M_PI and friends are POSIX; mingw's strict C++ mode shows them only on request.
  add_compile_definitions(_USE_MATH_DEFINES)
  target_link_libraries(velmora_platform_deps INTERFACE
    velmora_glew opengl32 glu32 gdi32 user32 advapi32 comctl32 winmm)
endif()

# A window system's folder: its sources (every .cpp there) as objects of velmora_core, with the
# libraries named after LIBRARIES. Their imported targets must be GLOBAL, since every program
# that links velmora_core links them too.
function(velmora_window_system name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "LIBRARIES")
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_library(velmora_${name} OBJECT ${sources})
  target_include_directories(velmora_${name} PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(velmora_${name} PUBLIC velmora_platform_deps ${arg_LIBRARIES})
  target_link_libraries(velmora_core PUBLIC velmora_${name})
endfunction()
