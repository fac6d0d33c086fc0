#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** The side file browser beside the learning area.

    Its root box, folder tree and preview player are not there yet: for now it is the pane itself,
    with nothing selected and nothing playing. */
class FilesBrowsePanel : public juce::Component
{
public:
    FilesBrowsePanel();
    ~FilesBrowsePanel() override;

    void applySystemColour();
    void stopAudioPlay();
    /** The tree's first selected file; the nonexistent file when nothing is selected. */
    juce::File getSelectedFile() const;

    void paint(juce::Graphics& g) override;

private:
    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(FilesBrowsePanel)
};
