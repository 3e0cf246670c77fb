# The message box that can be silenced for good.
zorvane_library(zorvane_msgbox
    SOURCES
        fmMsg.cpp
    LIBS Qt6::Widgets zorvane_core)
