# For a build without Qt's SVG module (the Windows build: Debian serves no source of it that
# builds against its Qt 6.4), the drawings of resources/pictures/ are drawn to PNG pictures
# on the build machine, at twice their size, and compiled in beside them as ":/pictures/NAME.svg.png";
# ImageBox shows those. velmora_pictures_as_png(TARGET) adds them to TARGET.
function(velmora_pictures_as_png target)
  find_program(RSVG_CONVERT rsvg-convert REQUIRED)
  file(GLOB svgs CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/resources/pictures/*.svg)
  set(out ${CMAKE_BINARY_DIR}/pictures-png)
  set(pngs)
  foreach(svg ${svgs})
    get_filename_component(name ${svg} NAME)
    # The drawings place the screenshots of shots/ by paths relative to themselves.
    add_custom_command(OUTPUT ${out}/${name}.png
      COMMAND ${CMAKE_COMMAND} -E make_directory ${out}
      COMMAND ${RSVG_CONVERT} --zoom 2 --output ${out}/${name}.png ${svg}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}/resources/pictures
      DEPENDS ${svg}
      VERBATIM)
    list(APPEND pngs ${out}/${name}.png)
  endforeach()
  qt_add_resources(${target} pictures_png PREFIX /pictures BASE ${out} FILES ${pngs})
  target_compile_definitions(${target} PUBLIC VELMORA_PICTURES_AS_PNG)
endfunction()
