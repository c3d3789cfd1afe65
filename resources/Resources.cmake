# The project's version, in the forms the resources need: the text ("1.0"), and four numbers for
# the Windows version information (1, 0, 0, 0) and manifest (1.0.0.0).
set(velmora_version_parts ${PROJECT_VERSION_MAJOR} ${PROJECT_VERSION_MINOR})
foreach(part PATCH TWEAK)
  if("${PROJECT_VERSION_${part}}" STREQUAL "")
    list(APPEND velmora_version_parts 0)
  else()
    list(APPEND velmora_version_parts ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN velmora_version_parts ", " VELMORA_VERSION_COMMAS)
list(JOIN velmora_version_parts "." VELMORA_VERSION_DOTTED)
set(velmora_generated_resources ${PROJECT_BINARY_DIR}/generated/resources)
configure_file(${PROJECT_SOURCE_DIR}/resources/Version.h.in ${velmora_generated_resources}/Version.h
               @ONLY)

# Every resource is compiled into the program as a NUL-terminated byte array. Included from the
# top level, since a generated source must be made in the folder of the target that compiles it.
velmora_embed(velmora_core ShaderVertexText    ${PROJECT_SOURCE_DIR}/resources/shaders/Vertex.glsl)
velmora_embed(velmora_core ShaderWrinklesText  ${PROJECT_SOURCE_DIR}/resources/shaders/Wrinkles.glsl)
velmora_embed(velmora_core ShaderScaleText     ${PROJECT_SOURCE_DIR}/resources/shaders/Scale.glsl)
velmora_embed(velmora_core ShaderEyesText      ${PROJECT_SOURCE_DIR}/resources/shaders/Eyes.glsl)
velmora_embed(velmora_core ShaderHornsText     ${PROJECT_SOURCE_DIR}/resources/shaders/Horns.glsl)
if(NOT WIN32)
  # The banner, the GTK settings dialog (its title names the version) and its logo (the Win32 build carries them in its .rc).
  configure_file(${PROJECT_SOURCE_DIR}/resources/SettingsDialog.ui.in
                 ${velmora_generated_resources}/SettingsDialog.ui @ONLY)
  velmora_embed(velmora_core SettingsDialogUi  ${velmora_generated_resources}/SettingsDialog.ui)
  velmora_embed(velmora_core LogoBitmap        ${PROJECT_SOURCE_DIR}/resources/logo.bmp)
  velmora_embed(velmora_core BannerBitmap      ${PROJECT_SOURCE_DIR}/resources/banner.bmp)
endif()
