// Reads the help markup: directives, paragraphs and the inline bold runs and jumps.
#include "HelpSource.h"

#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

const char BulletText[] = "\x95 ";

// Unicode code points of Windows-1252 bytes 0x80 ... 0x9F; 0 where the code page has no character.
static const uint32_t Windows1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

static std::string Format(const char *format, ...) __attribute__((format(printf, 1, 2)));

static std::string Format(const char *format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return text;
}

static int EncodeCodePoint(uint32_t code)
{
    if (code < 0x20 || code == 0x7F)
        return -1;
    if (code < 0x80 || (code >= 0xA0 && code <= 0xFF))
        return (int)code;
    for (int i = 0; i < 32; i++)
        if (Windows1252High[i] != 0 && Windows1252High[i] == code)
            return 0x80 + i;
    return -1;
}

bool ToWindows1252(const std::string &utf8, std::string *ansi, std::string *reason)
{
    ansi->clear();
    size_t i = 0;
    while (i < utf8.size()) {
        unsigned char lead = (unsigned char)utf8[i];
        uint32_t code = 0;
        size_t length = 0;
        uint32_t smallest = 0;
        if (lead < 0x80) {
            code = lead;
            length = 1;
        } else if ((lead & 0xE0) == 0xC0) {
            code = lead & 0x1F;
            length = 2;
            smallest = 0x80;
        } else if ((lead & 0xF0) == 0xE0) {
            code = lead & 0x0F;
            length = 3;
            smallest = 0x800;
        } else if ((lead & 0xF8) == 0xF0) {
            code = lead & 0x07;
            length = 4;
            smallest = 0x10000;
        } else {
            *reason = "the text is not valid UTF-8";
            return false;
        }
        if (i + length > utf8.size()) {
            *reason = "the text is not valid UTF-8";
            return false;
        }
        for (size_t k = 1; k < length; k++) {
            unsigned char next = (unsigned char)utf8[i + k];
            if ((next & 0xC0) != 0x80) {
                *reason = "the text is not valid UTF-8";
                return false;
            }
            code = (code << 6) | (next & 0x3F);
        }
        if (code < smallest || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) {
            *reason = "the text is not valid UTF-8";
            return false;
        }
        int byte = EncodeCodePoint(code);
        if (byte < 0) {
            if (code < 0x20 || code == 0x7F || (code >= 0x80 && code < 0xA0))
                *reason = Format("control character U+%04X cannot be shown in a help page", (unsigned)code);
            else
                *reason = Format("character U+%04X is not in the Windows-1252 code page of the help file",
                                 (unsigned)code);
            return false;
        }
        ansi->push_back((char)byte);
        i += length;
    }
    return true;
}

std::string ParagraphText(const Paragraph &paragraph)
{
    std::string text = paragraph.style == BulletParagraph ? BulletText : "";
    for (const Run &run : paragraph.runs)
        text += run.text;
    return text;
}

static bool IsContextCharacter(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_';
}

static bool IsLegalContext(const std::string &name)
{
    if (name.empty() || name.size() > MaxContextLength)
        return false;
    for (char c : name)
        if (!IsContextCharacter(c))
            return false;
    return true;
}

static std::string Lower(const std::string &text)
{
    std::string lower = text;
    for (char &c : lower)
        if (c >= 'A' && c <= 'Z')
            c = (char)(c - 'A' + 'a');
    return lower;
}

static std::string Trim(const std::string &text)
{
    size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos)
        return std::string();
    size_t last = text.find_last_not_of(' ');
    return text.substr(first, last - first + 1);
}

// Appends a run, joining it to the previous one when both are plain or both bold.
static void AddRun(Paragraph *paragraph, RunKind kind, const std::string &text, int line)
{
    if (text.empty() && kind != JumpRun)
        return;
    if (kind != JumpRun && !paragraph->runs.empty() && paragraph->runs.back().kind == kind) {
        paragraph->runs.back().text += text;
        return;
    }
    Run run = {kind, text, std::string(), line};
    paragraph->runs.push_back(run);
}

// The state of a parse: the document so far and the paragraph still open.
struct Parser {
    HelpDocument *document;
    SourceError *error;
    bool paragraphOpen;
    int line;
};

static bool Fail(Parser *parser, const std::string &reason)
{
    parser->error->line = parser->line;
    parser->error->reason = reason;
    return false;
}

static Topic *CurrentTopic(Parser *parser)
{
    return parser->document->topics.empty() ? NULL : &parser->document->topics.back();
}

// Reads the bold runs and jumps of one line of text into the paragraph. Both kinds of markup
// open and close on the same line.
static bool ReadInline(Parser *parser, Paragraph *paragraph, const std::string &text)
{
    std::string pending;
    bool bold = false;
    size_t i = 0;
    while (i < text.size()) {
        if (text.compare(i, 2, "**") == 0) {
            AddRun(paragraph, bold ? BoldRun : PlainRun, pending, parser->line);
            pending.clear();
            bold = !bold;
            i += 2;
            continue;
        }
        if (text.compare(i, 2, "]]") == 0)
            return Fail(parser, "']]' without '[['");
        if (text.compare(i, 2, "[[") == 0) {
            if (bold)
                return Fail(parser, "a jump cannot start inside a bold run");
            size_t end = text.find("]]", i + 2);
            if (end == std::string::npos)
                return Fail(parser, "'[[' without ']]' on the same line");
            std::string inner = text.substr(i + 2, end - i - 2);
            if (inner.find("[[") != std::string::npos)
                return Fail(parser, "a jump inside a jump");
            if (inner.find("**") != std::string::npos)
                return Fail(parser, "bold markers inside a jump");
            size_t bar = inner.find('|');
            std::string target = Trim(inner.substr(0, bar));
            std::string shown = bar == std::string::npos ? std::string() : Trim(inner.substr(bar + 1));
            if (!IsLegalContext(target))
                return Fail(parser, Format("jump target '%s' is not a legal context name (1 to %d of A-Z a-z 0-9 . _)",
                                           target.c_str(), (int)MaxContextLength));
            if (bar != std::string::npos && shown.empty())
                return Fail(parser, "a jump with '|' needs a text after it");
            AddRun(paragraph, PlainRun, pending, parser->line);
            pending.clear();
            Run jump = {JumpRun, shown, target, parser->line};
            paragraph->runs.push_back(jump);
            i = end + 2;
            continue;
        }
        pending.push_back(text[i]);
        i++;
    }
    if (bold)
        return Fail(parser, "bold run not closed on this line");
    AddRun(paragraph, PlainRun, pending, parser->line);
    return true;
}

static bool ReadHeaderDirective(Parser *parser, const std::string &name, const std::string &value)
{
    if (CurrentTopic(parser) != NULL)
        return Fail(parser, Format("'.%s' must come before the first topic", name.c_str()));
    std::string *field = name == "help" ? &parser->document->title : &parser->document->copyright;
    if (!field->empty())
        return Fail(parser, Format("'.%s' is given twice", name.c_str()));
    if (value.empty())
        return Fail(parser, Format("'.%s' needs a text", name.c_str()));
    if (name == "help" && value.size() > MaxHelpTitleLength)
        return Fail(parser, Format("the help title has %d characters; the viewer's caption holds at most %d",
                                   (int)value.size(), (int)MaxHelpTitleLength));
    if (value.size() > 1000)
        return Fail(parser, "the copyright text is longer than 1000 characters");
    *field = value;
    return true;
}

static bool ReadTopicDirective(Parser *parser, const std::string &value)
{
    size_t space = value.find(' ');
    std::string context = value.substr(0, space);
    std::string title = space == std::string::npos ? std::string() : Trim(value.substr(space + 1));
    if (!IsLegalContext(context))
        return Fail(parser, Format("'%s' is not a legal context name (1 to %d of A-Z a-z 0-9 . _)", context.c_str(),
                                   (int)MaxContextLength));
    if (title.empty())
        return Fail(parser, Format("topic '%s' has no title", context.c_str()));
    if (title.size() > MaxTopicTitleLength)
        return Fail(parser, Format("the title of topic '%s' has %d characters; at most %d fit", context.c_str(),
                                   (int)title.size(), (int)MaxTopicTitleLength));
    // Context names are looked up by a hash that ignores case: Contents and contents are one.
    for (const Topic &other : parser->document->topics)
        if (Lower(other.context) == Lower(context))
            return Fail(parser, Format("context '%s' is already used by the topic at line %d", context.c_str(),
                                       other.line));
    Topic topic;
    topic.context = context;
    topic.title = title;
    topic.line = parser->line;
    parser->document->topics.push_back(topic);
    return true;
}

static bool ReadMapDirective(Parser *parser, const std::string &value)
{
    Topic *topic = CurrentTopic(parser);
    if (topic == NULL)
        return Fail(parser, "'.map' outside a topic");
    if (value.empty() || value.size() > 10 || value.find_first_not_of("0123456789") != std::string::npos)
        return Fail(parser, Format("map number '%s' is not a whole number from 0 to 4294967295", value.c_str()));
    unsigned long long number = strtoull(value.c_str(), NULL, 10);
    if (number > 0xFFFFFFFFull)
        return Fail(parser, Format("map number '%s' is not a whole number from 0 to 4294967295", value.c_str()));
    for (const Topic &other : parser->document->topics)
        for (uint32_t map : other.maps)
            if (map == number)
                return Fail(parser, Format("map number %s is already given to topic '%s'", value.c_str(),
                                           other.context.c_str()));
    topic->maps.push_back((uint32_t)number);
    return true;
}

static bool ReadDirective(Parser *parser, const std::string &line)
{
    parser->paragraphOpen = false;
    size_t space = line.find(' ');
    std::string name = line.substr(1, space == std::string::npos ? std::string::npos : space - 1);
    std::string value = space == std::string::npos ? std::string() : Trim(line.substr(space + 1));
    if (name == "help" || name == "copyright")
        return ReadHeaderDirective(parser, name, value);
    if (name == "topic")
        return ReadTopicDirective(parser, value);
    if (name == "map")
        return ReadMapDirective(parser, value);
    return Fail(parser, Format("unknown directive '.%s'", name.c_str()));
}

static bool ReadTextLine(Parser *parser, const std::string &line)
{
    Topic *topic = CurrentTopic(parser);
    if (topic == NULL)
        return Fail(parser, "text before the first topic");

    if (line[0] == '|') {
        // An example line is shown exactly as written: no markup, spaces kept.
        parser->paragraphOpen = false;
        Paragraph example = {ExampleParagraph, {}, parser->line};
        std::string text = line.size() > 2 ? line.substr(2) : std::string();
        if (line.size() > 1 && line[1] != ' ')
            return Fail(parser, "an example line starts with '| '");
        AddRun(&example, PlainRun, text.empty() ? std::string(" ") : text, parser->line);
        topic->paragraphs.push_back(example);
        return true;
    }

    std::string text = Trim(line);
    bool bullet = text.compare(0, 2, "- ") == 0;
    if (bullet || !parser->paragraphOpen) {
        Paragraph paragraph = {bullet ? BulletParagraph : BodyParagraph, {}, parser->line};
        topic->paragraphs.push_back(paragraph);
        parser->paragraphOpen = true;
        if (bullet)
            text = Trim(text.substr(2));
    } else {
        // A further line of the same paragraph: the line break reads as one space.
        AddRun(&topic->paragraphs.back(), PlainRun, " ", parser->line);
    }
    return ReadInline(parser, &topic->paragraphs.back(), text);
}

// Gives every jump its topic's name as the topic spells it, and its title when the source wrote
// none; refuses unknown targets.
static bool ResolveJumps(Parser *parser)
{
    for (Topic &topic : parser->document->topics)
        for (Paragraph &paragraph : topic.paragraphs)
            for (Run &run : paragraph.runs) {
                if (run.kind != JumpRun)
                    continue;
                const Topic *target = NULL;
                for (const Topic &candidate : parser->document->topics)
                    if (Lower(candidate.context) == Lower(run.target))
                        target = &candidate;
                parser->line = run.line;
                if (target == NULL)
                    return Fail(parser, Format("jump to unknown topic '%s'", run.target.c_str()));
                // The web page's anchors are the topics' own names, and they do not ignore case.
                run.target = target->context;
                if (run.text.empty())
                    run.text = target->title;
            }
    return true;
}

bool ParseHelpSource(const std::string &source, HelpDocument *document, SourceError *error)
{
    *document = HelpDocument();
    Parser parser = {document, error, false, 0};

    size_t start = 0;
    if (source.compare(0, 3, "\xEF\xBB\xBF") == 0)
        start = 3;
    while (start < source.size()) {
        size_t end = source.find('\n', start);
        std::string raw = source.substr(start, end == std::string::npos ? std::string::npos : end - start);
        start = end == std::string::npos ? source.size() : end + 1;
        parser.line++;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();

        std::string line;
        std::string reason;
        if (!ToWindows1252(raw, &line, &reason))
            return Fail(&parser, reason);
        if (!line.empty() && line[0] == '#')
            continue;
        if (Trim(line).empty()) {
            parser.paragraphOpen = false;
            continue;
        }
        bool ok = line[0] == '.' ? ReadDirective(&parser, Trim(line)) : ReadTextLine(&parser, line);
        if (!ok)
            return false;
    }

    parser.line = 1;
    if (document->title.empty())
        return Fail(&parser, "the source gives no help title ('.help')");
    if (document->topics.empty())
        return Fail(&parser, "the source has no topic ('.topic')");
    return ResolveJumps(&parser);
}
