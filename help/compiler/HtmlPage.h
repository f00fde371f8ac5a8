// Writes a help document as one web page, for the Windows that have no help viewer: the topics in
// their order, each under its title as a bold heading with the topic's name as its anchor; bold
// runs bold, jumps as links to those anchors. Plain HTML and CSS that any browser shows.
#pragma once

#include "HelpSource.h"

#include <string>

// The whole page, in the Windows-1252 code page of the document's texts.
std::string BuildHtmlPage(const HelpDocument &document);
