# The platform's libraries, gathered in one interface target that velmora_core carries.
add_library(velmora_platform_deps INTERFACE)
find_package(Threads REQUIRED)
if(VELMORA_PLATFORM STREQUAL "x11")
  find_package(OpenGL REQUIRED COMPONENTS OpenGL GLX)
  find_package(GLEW REQUIRED)
  find_package(X11 REQUIRED)
  find_package(PkgConfig REQUIRED)
  # GTK only for the GTK module (platform/posix/CMakeLists.txt), which the program opens on first
  # use; GIO for the sleep watch.
  pkg_check_modules(GTK3 REQUIRED IMPORTED_TARGET gtk+-3.0)
  pkg_check_modules(GIO REQUIRED IMPORTED_TARGET gio-2.0)
  # The Wayland backend: the client library, EGL on its surfaces, the protocol descriptions.
  find_package(OpenGL REQUIRED COMPONENTS EGL)
  pkg_check_modules(WAYLAND REQUIRED IMPORTED_TARGET wayland-client wayland-egl)
  pkg_check_modules(WAYLAND_PROTOCOLS REQUIRED wayland-protocols)
  target_link_libraries(velmora_platform_deps INTERFACE
    GLEW::GLEW OpenGL::GL OpenGL::GLX OpenGL::GLU X11::X11 X11::Xrandr PkgConfig::GIO PkgConfig::WAYLAND OpenGL::EGL
    Threads::Threads
    ${CMAKE_DL_LIBS})
else()
  # The Windows build brings its own GLEW (see cmake/GlewWin32.cmake).
  include(cmake/GlewWin32.cmake)
  # M_PI and friends are POSIX; mingw's strict C++ mode shows them only on request.
  add_compile_definitions(_USE_MATH_DEFINES)
  target_link_libraries(velmora_platform_deps INTERFACE
    velmora_glew opengl32 glu32 gdi32 user32 advapi32 comctl32 winmm)
endif()
