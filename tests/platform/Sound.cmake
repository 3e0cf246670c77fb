zorvane_test(SoundPlayerTest SOURCES SoundPlayerTest.cpp LIBS zorvane_sound Qt6::Multimedia)
