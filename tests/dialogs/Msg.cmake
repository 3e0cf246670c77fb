zorvane_test(test_msgbox SOURCES MsgTest.cpp LIBS zorvane_msgbox)
