#pragma once
// Handing a file or a web address to the desktop. The opener program
// (xdg-open, or the text viewer of the reports) is started on it without
// waiting; its exit status comes back later through a pipe, so that a file
// or page that could not be opened (no viewer or browser installed, the
// opener ended with an error) is named to the person. The opener is
// nobody's child here: closing the program leaves an open viewer alone.
#include <string>

#include "core/interaction.h"

namespace velmora {

// The programs that open things. They reach the host as a value.
struct DesktopPrograms {
    std::string opener = "xdg-open";      // web pages and the manual
    std::string textViewer = "xdg-open";  // report files
    // The defaults, with $VELMORA_TEXT_VIEWER as the text viewer when set.
    static DesktopPrograms fromEnvironment();
};

inline constexpr char kTextViewerVariable[] = "VELMORA_TEXT_VIEWER";

// Starts `program target` (found on PATH) in its own session with standard
// input and output on /dev/null. Returns a descriptor that becomes
// readable once the opener has ended, for openerSucceeded(); -1 when it
// could not even be started.
int startOpener(const std::string& program, const std::string& target);

// Reads the outcome from a descriptor of startOpener that is readable:
// false when the opener could not run or ended with a status other than 0.
// The descriptor stays open.
bool openerSucceeded(int fd);

// "The web page could not be opened..." for an http(s) address, else "The
// file could not be opened...", followed by `target` on a line of its own.
Text notOpenedText(const StringSource& strings, const Text& target);

}  // namespace velmora
