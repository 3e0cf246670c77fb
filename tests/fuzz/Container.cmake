# The surprise engine's reading of its own file.
zorvane_fuzz(container SOURCES ContainerFuzz.cpp LIBS zorvane_engine_core Qt6::Gui)
