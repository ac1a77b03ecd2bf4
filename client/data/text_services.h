#pragma once
// What the text routines need of other client subsystems: whether obscene words are filtered
// (the option, and whether an input control is drawing its own text, which is never
// filtered), and the profanity filter itself.
//
// The one in force reads the option from the client settings, knows of an input control
// through InputControlDrawingScope, and masks the words of the client's word lists.
#include <string>

class TextServices {
public:
    virtual ~TextServices() = default;
    virtual bool ObscenityFilterOn();
    // True while an input control draws its own text (gumps set it).
    virtual bool InputControlDrawing();
    // Rewrites obscene words of an 8-bit text in place (the client's obscene words list); the
    // length stays.
    virtual void FilterProfanity(std::string& text);
};

TextServices& GetTextServices();
// Installs an implementation (kept alive by the caller; null puts back the default);
// answers the previous one.
TextServices* SetTextServices(TextServices* services);

// Filters a copy of the text when the option is on and no input control is drawing.
std::string FilteredForDrawing(const char* text);

// Marks a scope in which a gump draws the player's own typing, which is shown as typed: the
// default services' InputControlDrawing answers true inside it.
class InputControlDrawingScope {
public:
    InputControlDrawingScope();
    ~InputControlDrawingScope();
    InputControlDrawingScope(const InputControlDrawingScope&) = delete;
    InputControlDrawingScope& operator=(const InputControlDrawingScope&) = delete;

private:
    bool previous_;
};
