zorvane_test(test_import
    SOURCES
        ${CMAKE_CURRENT_LIST_DIR}/ImportDialogTest.cpp
        ${CMAKE_CURRENT_LIST_DIR}/PictureImportTest.cpp
    LIBS zorvane_import)
zorvane_test(test_fmMainPictures SOURCES ${CMAKE_CURRENT_LIST_DIR}/fmMainPicturesTest.cpp
    LIBS zorvane_app)
