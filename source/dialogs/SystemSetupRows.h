#pragma once

#include "engine/SystemModel.h"

#include <optional>
#include <variant>
#include <vector>

/** One row of the preferences panel: its label, the widget that edits it and the setting behind
    it, with the mapping between the two and what its "Default" button restores. */
struct SystemSetupRow
{
    enum class Widget
    {
        heading,
        swatch,
        combo,
        slider
    };

    using Member =
        std::variant<std::monostate, int SystemModel::*, bool SystemModel::*, double SystemModel::*,
                     float SystemModel::*, juce::Colour SystemModel::*, juce::Font SystemModel::*>;

    struct Item
    {
        const char* text;
        int id;
    };

    const char* label;
    Widget widget = Widget::heading;
    Member member{};
    /** The setting's key: colour rows take their default from it, sliders their range. */
    const juce::String* key = nullptr;
    /** An edit is broadcast, so that the main window follows it at once. */
    bool live = false;

    // Combo boxes: the items with their ids, and whether the items are translated texts.
    std::vector<Item> items{};
    bool translatedItems = true;
    /** The combo id is the setting plus this ("id - 1" rows). */
    int offset = 0;

    // Sliders: the step and the value's suffix; the slider shows the setting times the scale.
    double interval = 1.0;
    const char* suffix = "";
    double scale = 1.0;

    /** What "Default" selects (an id) or sets (a slider value); colour and face rows take theirs
        from the settings object. */
    std::optional<double> defaultValue{};
    bool hasDefaultButton = true;

    /** A combo box or slider row: its widget value edits a number or flag. */
    bool editsNumber() const;
    /** The widget value that shows the setting (a combo id, a slider value). */
    double load(const SystemModel& settings) const;
    /** Stores a widget value into the setting. */
    void store(SystemModel& settings, double value) const;

    /** The 69 rows, top to bottom. */
    static const std::vector<SystemSetupRow>& all();
};
