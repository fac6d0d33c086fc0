#pragma once

#include <jack/jack.h>
#include <juce_audio_devices/juce_audio_devices.h>

#include <atomic>

/** A JACK client of the test process's own that stands as an audio device on the running JACK
    server: its one output port plays a steady sine, and its two input ports listen to what comes
    back. The framework's JACK device named after it records the tone through its input and plays
    into the listening ports, so a test hears both sides of the process's own device and nothing
    of other processes sharing the server: the framework connects only its own ports to it.

    The client's name holds the process id, so parallel test processes never meet. */
class JackToneDevice
{
public:
    JackToneDevice(double frequency, float amplitude);
    ~JackToneDevice();

    /** Whether the test command said a JACK server runs for the tests. */
    static bool isServerExpected();

    /** Whether the client is on the server (false when no JACK server runs). */
    bool isRunning() const { return client != nullptr; }
    const juce::String& getName() const { return name; }
    double getSampleRate() const;

    /** Opens the device manager's JACK device on this client: input from the tone (when asked),
        output into the listening ports. The framework's error text, empty on success. */
    juce::String openAsDevice(juce::AudioDeviceManager& manager, bool withInput) const;

    /** Connections made to the two listening ports. */
    int getListenConnections() const;

    /** The largest magnitude heard on the listening ports since the last reset. */
    float getLoudestHeard() const { return loudestHeard.load(); }
    /** How many frames the listening ports received since the last reset. */
    juce::int64 getFramesHeard() const { return framesHeard.load(); }
    void resetHeard();

private:
    static int process(jack_nframes_t numFrames, void* self);
    void render(jack_nframes_t numFrames);

    juce::String name;
    double frequency;
    float amplitude;
    double phase = 0.0;
    jack_client_t* client = nullptr;
    jack_port_t* tonePort = nullptr;
    jack_port_t* listenPorts[2] = {nullptr, nullptr};
    std::atomic<float> loudestHeard{0.0f};
    std::atomic<juce::int64> framesHeard{0};

    JUCE_DECLARE_NON_COPYABLE(JackToneDevice)
};
