# The sound slots' handlers (fmMainSounds.cpp) open the sound library.
target_link_libraries(zorvane_app PUBLIC zorvane_sounds_ui)
