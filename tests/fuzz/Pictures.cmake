# The picture readers: our own four, and the entry that dispatches by
# extension to them and to Qt's.
zorvane_fuzz(pcx SOURCES fuzz_pcx.cpp LIBS zorvane_pictures)
zorvane_fuzz(bmp32 SOURCES fuzz_bmp32.cpp LIBS zorvane_pictures)
zorvane_fuzz(wmf SOURCES fuzz_wmf.cpp LIBS zorvane_pictures)
zorvane_fuzz(tga SOURCES fuzz_tga.cpp LIBS zorvane_pictures)
zorvane_fuzz(picture SOURCES fuzz_picture.cpp LIBS zorvane_pictures)

# Writes the seed corpora from the test fixtures' writers (run by hand when
# the seeds change): make_picture_corpus <tests/fuzz/corpus>
add_executable(make_picture_corpus MakePictureCorpus.cpp)
zorvane_target_defaults(make_picture_corpus)
target_link_libraries(make_picture_corpus PRIVATE zorvane_picture_fixtures)
