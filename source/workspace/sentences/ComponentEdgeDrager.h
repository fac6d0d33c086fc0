#pragma once

#include <juce_gui_basics/juce_gui_basics.h>

/** A draggable edge that resizes a component on one side, as the framework's edge does, and
    tells its listeners when a drag begins, while it goes on and when it ends, with the horizontal
    distance from where it began. */
class ComponentEdgeDrager : public juce::ResizableEdgeComponent
{
public:
    class Listener
    {
    public:
        virtual ~Listener() = default;

        virtual void prepareDrag(ComponentEdgeDrager* edge, const juce::ModifierKeys& mods) = 0;
        virtual void dragging(ComponentEdgeDrager* edge, int distanceX) = 0;
        virtual void dragFinished(ComponentEdgeDrager* edge, int distanceX) = 0;
    };

    ComponentEdgeDrager(juce::Component* componentToResize, Edge edgeToResize);
    ~ComponentEdgeDrager() override;

    void addListener(Listener* listener);
    void removeListener(Listener* listener);

    void mouseDown(const juce::MouseEvent& event) override;
    void mouseDrag(const juce::MouseEvent& event) override;
    void mouseUp(const juce::MouseEvent& event) override;

private:
    /** Calls the listeners from the last registered to the first, and stops when a listener has
        deleted this edge (a listener may delete the component that owns it). */
    template <typename Call> void callListeners(Call&& call)
    {
        listeners.callChecked(juce::Component::BailOutChecker(this), call);
    }

    juce::ListenerList<Listener> listeners;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR(ComponentEdgeDrager)
};
