// A settings file from elsewhere (hand-edited, damaged or written by another version): loaded
// into the settings object, written back, and loaded again.
#include "FuzzSupport.h"

#include "engine/SystemModel.h"
#include "workspace/Main.h"
#include "workspace/QzLookAndFeel.h"

namespace
{
void writeSeeds(FuzzEnvironment&)
{
    // The file as qZ writes it, with its defaults, and one with settings changed.
    auto file = SystemModel::getSettingsFile();
    systemModel->updateSystemAttrib();
    FuzzEnvironment::writeSeed("defaults.dat", file);
    systemModel->getProperties().setValue("IntervalSequence", 3);
    systemModel->getProperties().setValue("WindowState", "fs 10 10 800 600");
    systemModel->getProperties().saveIfNeeded();
    FuzzEnvironment::writeSeed("changed.dat", file);
    // The framework also reads the plain XML form.
    FuzzEnvironment::writeSeed("plain.xml", "<?xml version=\"1.0\"?>\n<PROPERTIES>\n"
                                            "  <VALUE name=\"MaxIntervalDays\" val=\"-5\"/>\n"
                                            "  <VALUE name=\"PageWidth\" val=\"0\"/>\n"
                                            "  <VALUE name=\"Language\" val=\"99\"/>\n</PROPERTIES>\n");
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    FuzzEnvironment::start(writeSeeds);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const auto file = SystemModel::getSettingsFile();
    auto& lookAndFeel = dynamic_cast<QzLookAndFeel&>(juce::LookAndFeel::getDefaultLookAndFeel());
    for (int round = 0; round < 2; ++round)
    {
        // The second round reads what the first one saved.
        if (round == 0)
            file.replaceWithData(data, size);
        auto settings = std::make_unique<SystemModel>(lookAndFeel);
        settings->setAppLanguage();
        settings->updateSystemAttrib();
        settings->getProperties().saveIfNeeded();
    }
    return 0;
}
