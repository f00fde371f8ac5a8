// The help as one web page (see HtmlPage.h).
#include "HtmlPage.h"

// The look of the help file: Arial, headings bold and larger, examples indented in Courier New.
static const char Style[] =
    "body { font-family: Arial, Helvetica, sans-serif; font-size: 10pt; max-width: 48em; margin: 1em auto;"
    " padding: 0 1em; color: #000; background: #fff; }\n"
    "h2 { font-size: 14pt; font-weight: bold; margin: 0 0 .6em; padding-top: 1em; }\n"
    "hr { margin: 2em 0 0; border: 0; border-top: 1px solid #999; }\n"
    "p { margin: .6em 0; }\n"
    "ul { margin: .3em 0; padding-left: 2em; }\n"
    "li { margin: .3em 0; }\n"
    "pre { font-family: \"Courier New\", Courier, monospace; font-size: 10pt; margin: .3em 0 .3em 2em; }\n";

static std::string Escaped(const std::string &text)
{
    std::string html;
    for (char c : text) {
        switch (c) {
        case '&':
            html += "&amp;";
            break;
        case '<':
            html += "&lt;";
            break;
        case '>':
            html += "&gt;";
            break;
        case '"':
            html += "&quot;";
            break;
        default:
            html += c;
            break;
        }
    }
    return html;
}

static std::string RunsHtml(const std::vector<Run> &runs)
{
    std::string html;
    for (const Run &run : runs) {
        if (run.kind == BoldRun)
            html += "<b>" + Escaped(run.text) + "</b>";
        else if (run.kind == JumpRun)
            html += "<a href=\"#" + run.target + "\">" + Escaped(run.text) + "</a>";
        else
            html += Escaped(run.text);
    }
    return html;
}

// What closes the block a paragraph of this style opens: a list for bullets, one preformatted
// block for a run of example lines.
static const char *BlockEnd(ParagraphStyle style)
{
    return style == BulletParagraph ? "</ul>\n" : style == ExampleParagraph ? "</pre>\n" : "";
}

static std::string TopicHtml(const Topic &topic)
{
    // Context names are of A-Z a-z 0-9 . _ alone: an anchor as they stand.
    std::string html = "<h2 id=\"" + topic.context + "\">" + Escaped(topic.title) + "</h2>\n";
    ParagraphStyle open = BodyParagraph;
    for (const Paragraph &paragraph : topic.paragraphs) {
        if (paragraph.style != open) {
            html += BlockEnd(open);
            html += paragraph.style == BulletParagraph ? "<ul>\n" : paragraph.style == ExampleParagraph ? "<pre>" : "";
            open = paragraph.style;
        }
        if (paragraph.style == BulletParagraph)
            html += "<li>" + RunsHtml(paragraph.runs) + "</li>\n";
        else if (paragraph.style == ExampleParagraph)
            html += RunsHtml(paragraph.runs) + "\n";
        else
            html += "<p>" + RunsHtml(paragraph.runs) + "</p>\n";
    }
    return html + BlockEnd(open);
}

std::string BuildHtmlPage(const HelpDocument &document)
{
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n"
                       "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=windows-1252\">\n"
                       "<title>" +
                       Escaped(document.title) + "</title>\n<style>\n" + Style + "</style>\n</head>\n<body>\n";
    for (size_t i = 0; i < document.topics.size(); i++)
        page += (i > 0 ? "<hr>\n" : "") + TopicHtml(document.topics[i]);
    if (!document.copyright.empty())
        page += "<hr>\n<p>" + Escaped(document.copyright) + "</p>\n";
    return page + "</body>\n</html>\n";
}
