# Sound playback: MIDI through FluidSynth, the other types through Qt Multimedia.
zorvane_library(zorvane_sound
    SOURCES
        SoundPlayer.cpp
    LIBS Qt6::Core Qt6::Multimedia PkgConfig::FLUIDSYNTH)
