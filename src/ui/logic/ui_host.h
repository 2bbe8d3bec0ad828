#pragma once
// The one small interface through which dialog and flow logic reaches the
// person: message boxes, Yes/No questions and nested dialogs. The Qt layer
// implements it; tests script it (answer Yes, record what was shown).
#include "core/interaction.h"

namespace velmora {

// Command ids that close a dialog.
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// The logic object of a dialog. The host finds the widget that shows it
// from the template id and runs it modally; the widget reads and writes
// the model, the model decides.
class DialogModel {
public:
    virtual ~DialogModel() = default;
    virtual int templateId() const = 0;
};

class UiHost : public Interaction {
public:
    // Runs a nested modal dialog; returns the command that closed it.
    virtual int runDialog(DialogModel& dialog) = 0;
    // Opens a text file in the desktop's text viewer without waiting. When
    // it cannot be opened the person is told, with the file's path.
    virtual void openTextFile(const Text& path) = 0;
    // A plain-text report on paper through the print dialog, or (asPdf)
    // saved as a PDF file the person names; `title` heads it and names
    // the PDF. Hosts without printing do nothing.
    virtual void printTextReport(const Text& title, const Text& text, bool asPdf) {
        (void)title, (void)text, (void)asPdf;
    }
    // Hands a web address ("https://...") or the absolute path of a local
    // file (the manual) to the desktop, which opens the browser or viewer;
    // returns at once. When it cannot be opened the person is told, with
    // the address or path.
    virtual void openUrl(const Text& address) = 0;
    // How many of the program's modal dialogs and message boxes are open
    // now (they nest). Device events wait until none is.
    virtual int modalDepth() const { return 0; }
    // Brings the main window to the front (a reminder was attached).
    virtual void bringToFront() {}
};

}  // namespace velmora
