# Picture files written byte by byte, for the readers' tests and the fuzzers'
# seed corpora.
add_library(zorvane_picture_fixtures STATIC PictureFixtures.cpp)
zorvane_target_defaults(zorvane_picture_fixtures)
target_include_directories(zorvane_picture_fixtures PUBLIC "${CMAKE_SOURCE_DIR}/tests")
target_link_libraries(zorvane_picture_fixtures PUBLIC Qt6::Gui)

zorvane_test(PictureReaderTest SOURCES PictureReaderTest.cpp
    LIBS zorvane_pictures zorvane_picture_fixtures)
zorvane_test(PictureReaderPcxTest SOURCES PictureReaderPcxTest.cpp
    LIBS zorvane_pictures zorvane_picture_fixtures)
zorvane_test(PictureReaderBmp32Test SOURCES PictureReaderBmp32Test.cpp
    LIBS zorvane_pictures zorvane_picture_fixtures)
zorvane_test(PictureReaderWmfTest SOURCES PictureReaderWmfTest.cpp
    LIBS zorvane_pictures zorvane_picture_fixtures)
zorvane_test(PictureReaderTgaTest SOURCES PictureReaderTgaTest.cpp
    LIBS zorvane_pictures zorvane_picture_fixtures)
