#pragma once
// How logic that must talk to the person does so: the program implements
// this with message boxes, tests script it. Texts are already looked up
// from the string table.
#include "core/types.h"

namespace velmora {

enum class MessageIcon { None, Error, Warning, Information, Question };

class Interaction {
public:
    virtual ~Interaction() = default;
    // An OK message box.
    virtual void showMessage(const Text& text, const Text& caption, MessageIcon icon) = 0;
    // A Yes/No question; true for Yes.
    virtual bool askYesNo(const Text& text, const Text& caption) = 0;
    // A Yes/No question whose Yes cannot be undone (it deletes data or adds
    // a duplicate): No is the default answer, so Enter never does it.
    virtual bool askDestructive(const Text& text, const Text& caption) { return askYesNo(text, caption); }
};

// The program's string table (or the language module's, when loaded).
class StringSource {
public:
    virtual ~StringSource() = default;
    // The text of a string id; empty when the table has no such id.
    virtual Text load(int id) const = 0;
};

}  // namespace velmora
