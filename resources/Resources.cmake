# Every resource is compiled into the program as a NUL-terminated byte array. Included from the
# top level, since a generated source must be made in the folder of the target that compiles it.
velmora_embed(velmora_core ShaderVertexText    ${PROJECT_SOURCE_DIR}/resources/shaders/Vertex.glsl)
velmora_embed(velmora_core ShaderWrinklesText  ${PROJECT_SOURCE_DIR}/resources/shaders/Wrinkles.glsl)
velmora_embed(velmora_core ShaderScaleText     ${PROJECT_SOURCE_DIR}/resources/shaders/Scale.glsl)
velmora_embed(velmora_core ShaderEyesText      ${PROJECT_SOURCE_DIR}/resources/shaders/Eyes.glsl)
velmora_embed(velmora_core ShaderHornsText     ${PROJECT_SOURCE_DIR}/resources/shaders/Horns.glsl)
if(NOT WIN32)
  # The banner, the GTK settings dialog and its logo (the Win32 build carries them in its .rc).
  velmora_embed(velmora_core SettingsDialogUi  ${PROJECT_SOURCE_DIR}/resources/SettingsDialog.ui)
  velmora_embed(velmora_core LogoBitmap        ${PROJECT_SOURCE_DIR}/resources/logo.bmp)
  velmora_embed(velmora_core BannerBitmap      ${PROJECT_SOURCE_DIR}/resources/banner.bmp)
endif()
