#include "workspace/containers/TimeScaleComponent.h"

#include "engine/GlobalData.h"
#include "engine/SystemModel.h"
#include "workspace/Main.h"
#include "workspace/containers/ThumbsContainer.h"

#include <cmath>

namespace
{
// Ten minor intervals per major one; the fifth minor tick marks the middle.
constexpr int minorPerMajor = 10;

int tickTop(int index)
{
    return index % 5 == 0 ? TimeScaleComponent::middleTop : TimeScaleComponent::minorTop;
}

/** The time from startSeconds to the first major tick at or after it: 0 when the left edge's
    pixel lies on a major tick, else up to the next multiple of the unit. */
double offsetToFirstMajor(double startSeconds, double unit, int majorPixels)
{
    if (GlobalData::secondsToX(startSeconds) % majorPixels == 0)
        return 0.0;
    auto k = juce::jmax(1.0, std::floor(startSeconds / unit) + 1.0);
    while (k * unit <= startSeconds)
        k += 1.0;
    return k * unit - startSeconds;
}
} // namespace

TimeScaleComponent::TimeScaleComponent() = default;

TimeScaleComponent::~TimeScaleComponent() = default;

TimeScaleComponent::Ruler TimeScaleComponent::layOutRuler(double startSeconds, int width)
{
    Ruler ruler;
    // A zoom of 0 or below gives no distance between ticks; nothing sensible can be drawn.
    if (!(GlobalData::widthZoomFactor > 0.0) || width <= 0)
        return ruler;
    const double unit = ThumbsContainer::getMinTimeUnitInSeconds(GlobalData::widthZoomFactor);
    const int major = GlobalData::secondsToX(unit);
    if (major < 1)
        return ruler;

    const double offset = offsetToFirstMajor(startSeconds, unit, major);
    const int x0 = GlobalData::secondsToX(offset);
    const float minor = (float)major / (float)minorPerMajor;
    ruler.majorPixels = major;

    // Minor ticks of the interval cut by the left edge, right to left, the last one at or past it.
    if ((float)x0 > minor && x0 >= 1)
        for (int k = 1;; ++k)
        {
            const float x = (float)x0 - (float)k * minor;
            ruler.marks.push_back({x, tickTop(k)});
            if (!(x > 0.0f))
                break;
        }

    for (int i = 0; i * major < width; ++i)
    {
        const int left = x0 + i * major;
        const double seconds = i * unit + startSeconds + offset;
        ruler.labels.push_back(
            {left + 5, GlobalData::secondsToMsString(seconds), std::llround(seconds / unit)});
        ruler.marks.push_back({(float)left, majorTop});
        const float end = (float)(left + major) - 0.1f;
        for (int j = 1; (float)left + (float)j * minor < end; ++j)
            ruler.marks.push_back({(float)left + (float)j * minor, tickTop(j)});
    }
    return ruler;
}

juce::PopupMenu TimeScaleComponent::createContextMenu()
{
    juce::PopupMenu menu;
    menu.addCommandItem(commandManager, zoomInWaveformArea);
    menu.addCommandItem(commandManager, zoomOutWaveformArea);
    return menu;
}

std::vector<TimeScaleComponent::TimeLabel> TimeScaleComponent::labelsThatFit(const Ruler& ruler,
                                                                             const juce::Font& font)
{
    // A time text is wider than the closer major intervals. Only every n-th tick, counted from
    // the start of the course, is labelled, n being the fewest intervals the widest label needs:
    // labels never run into each other and stay on their ticks while the strip scrolls.
    int widest = 0;
    for (const auto& label : ruler.labels)
        widest = juce::jmax(widest, font.getStringWidth(label.text));
    const int pitch = juce::jmax(1, ruler.majorPixels);
    const auto every = (juce::int64)juce::jmax(1, (widest + labelGap + pitch - 1) / pitch);

    std::vector<TimeLabel> shown;
    for (const auto& label : ruler.labels)
        if (label.tick % every == 0)
            shown.push_back(label);
    return shown;
}

void TimeScaleComponent::paint(juce::Graphics& g)
{
    const int height = getHeight();
    g.fillAll(systemModel->timeScaleBgColour);
    g.setColour(systemModel->timeScaleTextColour);
    const juce::Font font(16.0f, juce::Font::bold);
    g.setFont(font);

    const auto ruler = layOutRuler(startTime, getWidth());
    for (const auto& label : labelsThatFit(ruler, font))
        g.drawSingleLineText(label.text, label.x, labelBaseline, juce::Justification::left);
    for (const auto& mark : ruler.marks)
        g.fillRect(juce::Rectangle<float>(mark.x - 0.5f, (float)mark.top, 1.0f, (float)(height - mark.top)));

    g.setColour(systemModel->timeScaleTextColour.withAlpha(0.35f));
    g.drawHorizontalLine(height - 1, 0.5f, (float)getWidth() - 1.0f);
}

void TimeScaleComponent::mouseMove(const juce::MouseEvent& event)
{
    repaint(0, event.y, getWidth(), 1);
}

void TimeScaleComponent::mouseUp(const juce::MouseEvent& event)
{
    // Ctrl marks a context click on every platform, also where it is the command key.
    if (event.mods.isPopupMenu() || event.mods.isCtrlDown())
        createContextMenu().showMenuAsync(juce::PopupMenu::Options());
}

void TimeScaleComponent::mouseWheelMove(const juce::MouseEvent& event, const juce::MouseWheelDetails& wheel)
{
    auto* strip = dynamic_cast<ThumbsContainer*>(getParentComponent());
    if (strip == nullptr)
        return;
    int x = event.x;
    if (auto* viewport = findParentComponentOfClass<juce::Viewport>())
        x += viewport->getViewPositionX();
    strip->zoomThumbs(wheel.deltaY > 0, x);
}
