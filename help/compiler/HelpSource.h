// The help source: its markup read into topics, paragraphs and runs (see help/README.md for the
// markup). Texts are held in the Windows-1252 code page, as the help file stores them.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Where and why a source cannot be compiled; line 0 when the problem has no line of its own.
struct SourceError {
    int line;
    std::string reason;
};

enum RunKind { PlainRun, BoldRun, JumpRun };

struct Run {
    RunKind kind;
    std::string text;   // what the page shows
    std::string target; // context name of a jump, spelt as its topic spells it
    int line;
};

enum ParagraphStyle {
    BodyParagraph,    // running text
    BulletParagraph,  // an indented item with a bullet
    ExampleParagraph, // one line in the fixed font, indented, shown as written
};

struct Paragraph {
    ParagraphStyle style;
    std::vector<Run> runs;
    int line;
};

struct Topic {
    std::string context; // [A-Za-z0-9._], 1 ... MaxContextLength characters
    std::string title;
    std::vector<uint32_t> maps; // numbers HELP_CONTEXT can ask for
    std::vector<Paragraph> paragraphs;
    int line;
};

struct HelpDocument {
    std::string title;     // the viewer's caption
    std::string copyright; // optional
    std::vector<Topic> topics; // the first one is the contents
};

// Limits of what the help file can carry.
enum {
    MaxHelpTitleLength = 50, // the main window record keeps the caption in 51 bytes
    MaxContextLength = 255,
    MaxTopicTitleLength = 255,
};

// The bullet that starts a bullet paragraph's text (Windows-1252 0x95).
extern const char BulletText[];

// Reads the markup (UTF-8, LF or CR LF line ends). On failure fills *error and returns false;
// jump targets are checked against the topics, so a returned document is complete.
bool ParseHelpSource(const std::string &source, HelpDocument *document, SourceError *error);

// Converts UTF-8 text to Windows-1252. False, with the reason, for invalid UTF-8, for a character
// outside the code page and for control characters.
bool ToWindows1252(const std::string &utf8, std::string *ansi, std::string *reason);

// The paragraph as the page shows it: the bullet (if any) and the texts of its runs.
std::string ParagraphText(const Paragraph &paragraph);
