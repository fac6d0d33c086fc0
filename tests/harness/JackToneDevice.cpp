#include "harness/JackToneDevice.h"

#include <cmath>
#include <unistd.h>

JackToneDevice::JackToneDevice(double toneFrequency, float toneAmplitude)
    : name("qz-test-tone-" + juce::String((int)getpid())), frequency(toneFrequency), amplitude(toneAmplitude)
{
    jack_status_t status{};
    client =
        jack_client_open(name.toRawUTF8(), (jack_options_t)(JackNoStartServer | JackUseExactName), &status);
    if (client == nullptr)
        return;

    tonePort = jack_port_register(client, "tone", JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput, 0);
    for (int i = 0; i < 2; ++i)
        listenPorts[i] = jack_port_register(client, ("listen_" + juce::String(i + 1)).toRawUTF8(),
                                            JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client, process, this);
    if (tonePort == nullptr || listenPorts[0] == nullptr || listenPorts[1] == nullptr ||
        jack_activate(client) != 0)
    {
        jack_client_close(client);
        client = nullptr;
    }
}

bool JackToneDevice::isServerExpected()
{
    return juce::SystemStats::getEnvironmentVariable("QZ_AUDIO_DEVICE_EXPECTED", {}) == "1";
}

JackToneDevice::~JackToneDevice()
{
    if (client != nullptr)
        jack_client_close(client);
}

double JackToneDevice::getSampleRate() const
{
    return client != nullptr ? (double)jack_get_sample_rate(client) : 0.0;
}

juce::String JackToneDevice::openAsDevice(juce::AudioDeviceManager& manager, bool withInput) const
{
    // One input (the tone) and both outputs wanted; the device type lists the clients on the
    // server, this one among them, as devices.
    auto error = manager.initialise(1, 2, nullptr, false);
    if (error.isNotEmpty())
        return error;
    manager.setCurrentAudioDeviceType("JACK", true);
    if (auto* type = manager.getCurrentDeviceTypeObject())
        type->scanForDevices();

    auto setup = manager.getAudioDeviceSetup();
    setup.inputDeviceName = withInput ? name : juce::String();
    setup.outputDeviceName = name;
    setup.useDefaultInputChannels = true;
    setup.useDefaultOutputChannels = true;
    error = manager.setAudioDeviceSetup(setup, true);
    if (error.isEmpty() && manager.getCurrentAudioDevice() == nullptr)
        error = "no device opened";
    return error;
}

int JackToneDevice::getListenConnections() const
{
    int connections = 0;
    for (auto* port : listenPorts)
        connections += port != nullptr ? jack_port_connected(port) : 0;
    return connections;
}

void JackToneDevice::resetHeard()
{
    loudestHeard = 0.0f;
    framesHeard = 0;
}

int JackToneDevice::process(jack_nframes_t numFrames, void* self)
{
    static_cast<JackToneDevice*>(self)->render(numFrames);
    return 0;
}

void JackToneDevice::render(jack_nframes_t numFrames)
{
    auto* out = static_cast<float*>(jack_port_get_buffer(tonePort, numFrames));
    const double step = juce::MathConstants<double>::twoPi * frequency / jack_get_sample_rate(client);
    for (jack_nframes_t i = 0; i < numFrames; ++i)
    {
        out[i] = amplitude * (float)std::sin(phase);
        phase = std::fmod(phase + step, juce::MathConstants<double>::twoPi);
    }

    float loudest = loudestHeard.load();
    for (auto* port : listenPorts)
    {
        const auto* in = static_cast<const float*>(jack_port_get_buffer(port, numFrames));
        for (jack_nframes_t i = 0; i < numFrames; ++i)
            loudest = std::max(loudest, std::abs(in[i]));
    }
    loudestHeard = loudest;
    framesHeard += numFrames;
}
