# GLEW for the Windows build, compiled from Debian's glew source package as a static library.
# The source is fetched once per build folder with `apt-get source` (scripts/bootstrap --win32
# enables the source lists); nothing of it is kept in the repository.
set(glew_root ${CMAKE_BINARY_DIR}/_deps/glew)
file(GLOB glew_c ${glew_root}/glew-*/src/glew.c)
if(NOT glew_c)
  file(MAKE_DIRECTORY ${glew_root})
  message(STATUS "Fetching Debian's glew source package into ${glew_root}")
  execute_process(COMMAND apt-get source -qq glew
                  WORKING_DIRECTORY ${glew_root}
                  RESULT_VARIABLE glew_result OUTPUT_QUIET ERROR_VARIABLE glew_error)
  file(GLOB glew_c ${glew_root}/glew-*/src/glew.c)
  if(NOT glew_c)
    message(FATAL_ERROR "apt-get source glew failed (run scripts/bootstrap --win32 first):\n"
                        "${glew_error}")
  endif()
endif()
get_filename_component(glew_src_dir ${glew_c} DIRECTORY)
get_filename_component(glew_dir ${glew_src_dir} DIRECTORY)

add_library(velmora_glew STATIC ${glew_c})
target_compile_definitions(velmora_glew PUBLIC GLEW_STATIC)
# GLEW's own file is not ours to clean up: keep the build log readable.
target_compile_options(velmora_glew PRIVATE -w)
target_include_directories(velmora_glew SYSTEM PUBLIC ${glew_dir}/include)
target_link_libraries(velmora_glew PUBLIC opengl32)
