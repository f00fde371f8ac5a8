// Writes a help document as an uncompressed WinHelp 3.1 file: the header, the internal files
// |SYSTEM, |FONT, |TOPIC, |CONTEXT, |CTXOMAP and |TTLBTREE, and the internal directory.
#pragma once

#include "HelpSource.h"

#include <stdint.h>

#include <string>
#include <vector>

// The hash the viewer looks context names up by: h = h * 43 + value, over the name, ignoring case.
uint32_t ContextHash(const std::string &name);

// Builds the whole file in memory. On failure (something the format cannot hold, such as two
// context names with one hash) fills *error with the line of the topic or paragraph concerned.
bool BuildWinHelpFile(const HelpDocument &document, std::vector<uint8_t> *file, SourceError *error);

// The fonts of the file's |FONT table, by the number the topic text selects them with.
enum HelpFont { TextFont = 0, BoldFont = 1, HeadingFont = 2, ExampleFont = 3 };

// Layout constants of the format.
enum {
    TopicBlockSize = 4096,
    TopicBlockHeaderSize = 12,
    TopicBlockPayload = TopicBlockSize - TopicBlockHeaderSize, // 4084
    TopicPosStride = 0x4000,    // TOPICPOS: block * 0x4000 + 12 + offset in the payload
    TopicOffsetStride = 0x8000, // TOPICOFFSET: block * 0x8000 + characters before it in the block
};
