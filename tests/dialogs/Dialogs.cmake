zorvane_test(test_fmOptions SOURCES fmOptionsTest.cpp LIBS zorvane_dialogs)
zorvane_test(test_fmAbout SOURCES fmAboutTest.cpp LIBS zorvane_dialogs)
