zorvane_test(test_SoundPlayer SOURCES SoundPlayerTest.cpp LIBS zorvane_sound Qt6::Multimedia)
