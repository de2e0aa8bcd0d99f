# autoshutdown_resources: the heart icon and the description picture, compiled
# in as byte arrays (ui/templates/resources.h). The C++ source is generated at
# build time from the committed files by embed_files.cmake; redraw the files
# with make_heart_ico.py and make_picture.py.
set(autoshutdown_resource_dir ${CMAKE_CURRENT_LIST_DIR})
set(autoshutdown_resource_files
  HeartIconFile=${autoshutdown_resource_dir}/heart.ico
  DescriptionPicture=${autoshutdown_resource_dir}/picture.jpg
)
set(autoshutdown_resource_inputs ${autoshutdown_resource_files})
list(TRANSFORM autoshutdown_resource_inputs REPLACE "^[^=]*=" "")
set(autoshutdown_resource_source ${CMAKE_CURRENT_BINARY_DIR}/autoshutdown_resources.cpp)

add_custom_command(
  OUTPUT ${autoshutdown_resource_source}
  COMMAND ${CMAKE_COMMAND}
    -DOUTPUT=${autoshutdown_resource_source}
    "-DFILES=${autoshutdown_resource_files}"
    -P ${autoshutdown_resource_dir}/embed_files.cmake
  DEPENDS ${autoshutdown_resource_inputs} ${autoshutdown_resource_dir}/embed_files.cmake
  COMMENT "Embedding the heart icon and the description picture"
  VERBATIM
)
add_library(autoshutdown_resources STATIC ${autoshutdown_resource_source})
target_include_directories(autoshutdown_resources PUBLIC ${PROJECT_SOURCE_DIR}/src)
