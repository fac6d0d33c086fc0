# The framework's modules, compiled once into one static library. Its compile definitions and
# include directories are handed on to everything that links it, the include directories as
# system headers so that our strict warnings don't apply to the framework.

add_library(juce_modules STATIC)

target_link_libraries(juce_modules
    PRIVATE
        juce::juce_core
        juce::juce_events
        juce::juce_data_structures
        juce::juce_audio_basics
        juce::juce_audio_devices
        juce::juce_audio_formats
        juce::juce_audio_processors
        juce::juce_audio_utils
        juce::juce_graphics
        juce::juce_gui_basics
        juce::juce_gui_extra
    PUBLIC
        juce::juce_recommended_config_flags
        PkgConfig::QZ_SYSTEM_LIBS)

target_compile_definitions(juce_modules
    PUBLIC
        JUCE_STANDALONE_APPLICATION=1
        JUCE_USE_CURL=0
        JUCE_WEB_BROWSER=0
        JUCE_MODAL_LOOPS_PERMITTED=1
        JUCE_USE_FLAC=1
        JUCE_USE_OGGVORBIS=1
        JUCE_USE_MP3AUDIOFORMAT=0
        JUCE_ALSA=1
        JUCE_JACK=1
        JUCE_DISPLAY_SPLASH_SCREEN=0
        JUCE_STRICT_REFCOUNTEDPOINTER=1
        JUCE_APPLICATION_NAME_STRING="qZ"
        JUCE_APPLICATION_VERSION_STRING="2.3.0402"
    INTERFACE
        $<TARGET_PROPERTY:juce_modules,COMPILE_DEFINITIONS>)

target_include_directories(juce_modules SYSTEM
    INTERFACE
        $<TARGET_PROPERTY:juce_modules,INCLUDE_DIRECTORIES>)

set_target_properties(juce_modules PROPERTIES
    POSITION_INDEPENDENT_CODE TRUE
    VISIBILITY_INLINES_HIDDEN TRUE
    C_VISIBILITY_PRESET hidden
    CXX_VISIBILITY_PRESET hidden)

if(QZ_SANITIZE OR QZ_FUZZ)
    # The framework's FLAC reader shifts negative samples left (juce_FlacAudioFormat.cpp), which
    # is formally undefined but means the same on every compiler we use; it isn't ours to change.
    target_compile_options(juce_modules PRIVATE -fno-sanitize=shift-base)
    # Its GIF decoder (juce_GIFLoader.cpp, which decodes the dragging-hand cursor) reads two bytes
    # before its buffer when it starts a data block; the read lands inside the decoder object and
    # is never used, but the bounds check stops the program. Switched off for that module alone.
    set_source_files_properties(${JUCE_MODULES_DIR}/juce_graphics/juce_graphics.cpp
        PROPERTIES COMPILE_OPTIONS -fno-sanitize=bounds)
endif()
