# autoshutdown_ui_media: icon files and JPEG pictures decoded into pixels,
# portable (libjpeg serves both platforms).
find_package(JPEG REQUIRED)
add_library(autoshutdown_ui_media
  ${CMAKE_CURRENT_LIST_DIR}/icon_file.cpp
  ${CMAKE_CURRENT_LIST_DIR}/picture.cpp
)
target_include_directories(autoshutdown_ui_media PUBLIC ${PROJECT_SOURCE_DIR}/src)
target_link_libraries(autoshutdown_ui_media PRIVATE JPEG::JPEG)
