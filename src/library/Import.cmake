# zorvane_import: the shared import dialog and the copying of pictures into
# the libraries.
zorvane_library(zorvane_import
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ImportDialog.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PictureImport.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PicturePreview.cpp
    LIBS Qt6::Widgets zorvane_core zorvane_pictures)
