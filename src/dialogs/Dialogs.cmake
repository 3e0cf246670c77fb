# The options dialog and the about box.
zorvane_library(zorvane_dialogs
    SOURCES
        fmOptions.cpp
        fmAbout.cpp
    LIBS Qt6::Widgets zorvane_core zorvane_delivery)
