#include "client/data/text_services.h"

#include "client/data/client_settings.h"
#include "client/data/client_word_lists.h"
#include "client/data/profanity_filter.h"
#include "core/service_slot.h"

namespace {

ServiceSlot<TextServices>& Slot() {
    static ServiceSlot<TextServices> slot;
    return slot;
}

}  // namespace

bool TextServices::ObscenityFilterOn() {
    return TheClientSettings().options.obscenityFilter;
}

namespace {
bool g_inputControlDrawing = false;
}  // namespace

bool TextServices::InputControlDrawing() {
    return g_inputControlDrawing;
}

InputControlDrawingScope::InputControlDrawingScope() : previous_(g_inputControlDrawing) {
    g_inputControlDrawing = true;
}

InputControlDrawingScope::~InputControlDrawingScope() {
    g_inputControlDrawing = previous_;
}

void TextServices::FilterProfanity(std::string& text) {
    ::FilterProfanity(text, TheClientWordLists().ObsceneWords());
}

TextServices& GetTextServices() {
    return Slot().Get();
}

TextServices* SetTextServices(TextServices* services) {
    return Slot().Set(services);
}

std::string FilteredForDrawing(const char* text) {
    std::string copy = text != nullptr ? text : "";
    TextServices& services = GetTextServices();
    if (services.ObscenityFilterOn() && !services.InputControlDrawing())
        services.FilterProfanity(copy);
    return copy;
}
