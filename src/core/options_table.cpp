#include "core/options_table.h"

namespace vx {

namespace {

// The group an item belongs to and its place in it.
struct ItemPlace {
    Choice choice;
    uint8_t index;
};

std::optional<ItemPlace> ChoiceItem(MenuId id) {
    for (size_t c = 0; c < kChoiceCount; ++c) {
        const int first = static_cast<int>(kChoices[c].firstItem);
        const int offset = static_cast<int>(id) - first;
        if (offset >= 0 && offset < static_cast<int>(kChoiceItems))
            return ItemPlace{static_cast<Choice>(c), static_cast<uint8_t>(offset)};
    }
    return std::nullopt;
}

const SwitchFacts* SwitchItem(MenuId id) {
    for (const SwitchFacts& s : kSwitches)
        if (s.item == id) return &s;
    return nullptr;
}

}  // namespace

std::optional<uint8_t> IndexOf(Choice c, int value) {
    const auto& values = Facts(c).values;
    for (size_t i = 0; i < values.size(); ++i)
        if (values[i] == value) return static_cast<uint8_t>(i);
    return std::nullopt;
}

bool IsChoiceValue(Choice c, int value) {
    return IndexOf(c, value).has_value();
}

void Choose(OptionSet& options, Choice c, uint8_t index) {
    if (index >= kChoiceItems) return;
    options.chosen[static_cast<size_t>(c)] = index;
    if (Facts(c).rule != 0) options.rule = Facts(c).rule;
}

bool OptionItemChecked(const OptionSet& options, MenuId id) {
    if (const auto place = ChoiceItem(id)) {
        const uint8_t rule = Facts(place->choice).rule;
        return options.Index(place->choice) == place->index && (rule == 0 || rule == options.rule);
    }
    if (const SwitchFacts* s = SwitchItem(id)) return options.on[static_cast<size_t>(s - kSwitches.data())];
    return false;
}

bool IsOptionItem(MenuId id) {
    return ChoiceItem(id).has_value() || SwitchItem(id) != nullptr;
}

const char* OptionCaption(MenuId id) {
    if (const auto place = ChoiceItem(id)) return Facts(place->choice).captions[place->index];
    if (const SwitchFacts* s = SwitchItem(id)) return s->caption;
    return nullptr;
}

void ShowOptions(MenuModel& menu, const OptionSet& options) {
    for (const MenuItem& item : menu.Items())
        if (IsOptionItem(item.id) && item.checked != OptionItemChecked(options, item.id))
            menu.SetChecked(item.id, !item.checked);
}

}  // namespace vx
