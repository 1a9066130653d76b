# Built-in resources. Included from the folder that defines the libraries, so
# that each resource is compiled by exactly one rule of the library it belongs
# to. The libraries are static: code that reads a resource registers it with
# Q_INIT_RESOURCE, since nothing else would pull its object file in.

set(veskaro_resources_dir "${PROJECT_SOURCE_DIR}/resources")

# Writes a resource collection of every file below `folder` (paths relative to
# it) under `prefix`, and adds its compiled form to `target`.
function(veskaro_add_resources target name folder prefix pattern)
  file(GLOB_RECURSE files RELATIVE "${folder}" CONFIGURE_DEPENDS "${folder}/${pattern}")
  list(SORT files)
  set(content "<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"${prefix}\">\n")
  foreach(file IN LISTS files)
    string(APPEND content "  <file alias=\"${file}\">${folder}/${file}</file>\n")
  endforeach()
  string(APPEND content "</qresource>\n</RCC>\n")
  set(collection "${CMAKE_CURRENT_BINARY_DIR}/${name}.qrc")
  file(CONFIGURE OUTPUT "${collection}" CONTENT "${content}" @ONLY)
  qt_add_resources(compiled "${collection}")
  target_sources(${target} PRIVATE ${compiled})
endfunction()

# The demo network travels inside the program: the description is read as
# ":/demo/network.json" and the volume files under ":/demo/volumes/" are copied
# to a cache folder so that network paths can resolve into them.
# resources/demo-source/ holds the script that writes resources/demo/.
veskaro_add_resources(veskaro_core demo_network "${veskaro_resources_dir}/demo" "/demo" "*")

# Tool-bar and program icons, drawn as SVG so they stay sharp at any size.
veskaro_add_resources(veskaro_gui icons "${veskaro_resources_dir}/icons" "/icons" "*.svg")

# The user guide shown by Help / Help Contents: HTML pages and their style sheet.
veskaro_add_resources(veskaro_gui help "${veskaro_resources_dir}/help" "/help" "*")
