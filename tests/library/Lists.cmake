zorvane_test(test_series_lists SOURCES SeriesListsTest.cpp LIBS zorvane_library)
zorvane_test(test_thumbnails_cli SOURCES ThumbnailsCliTest.cpp LIBS Qt6::Gui)
add_dependencies(test_thumbnails_cli zorvane_cli)
