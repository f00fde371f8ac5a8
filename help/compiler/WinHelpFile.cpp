// The WinHelp 3.1 writer. Everything is little-endian; -1 is all bits set. The layout follows
// what Wine's winhlp32 reads (help/README.md lists the rules this file relies on).
#include "WinHelpFile.h"

#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>

typedef std::vector<uint8_t> Bytes;

static const uint32_t None = 0xFFFFFFFFu;

// A fixed generation date (2000-01-01 00:00 UTC): the same source always gives the same bytes.
static const uint32_t GenerationDate = 946684800u;

static void PutU8(Bytes *out, unsigned value) { out->push_back((uint8_t)value); }

static void PutU16(Bytes *out, unsigned value)
{
    out->push_back((uint8_t)(value & 0xFF));
    out->push_back((uint8_t)((value >> 8) & 0xFF));
}

static void PutU32(Bytes *out, uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out->push_back((uint8_t)((value >> shift) & 0xFF));
}

static void PutBytes(Bytes *out, const Bytes &bytes) { out->insert(out->end(), bytes.begin(), bytes.end()); }

static void PutText(Bytes *out, const std::string &text, size_t width)
{
    for (size_t i = 0; i < width; i++)
        out->push_back(i < text.size() ? (uint8_t)text[i] : 0);
}

static void PutZeroText(Bytes *out, const std::string &text)
{
    out->insert(out->end(), text.begin(), text.end());
    out->push_back(0);
}

static void SetU32(Bytes *out, size_t at, uint32_t value)
{
    for (int i = 0; i < 4; i++)
        (*out)[at + i] = (uint8_t)((value >> (8 * i)) & 0xFF);
}

static bool Fail(SourceError *error, int line, const char *format, ...) __attribute__((format(printf, 3, 4)));

static bool Fail(SourceError *error, int line, const char *format, ...)
{
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    error->line = line;
    error->reason = text;
    return false;
}

uint32_t ContextHash(const std::string &name)
{
    uint32_t hash = 0;
    for (char c : name) {
        uint32_t value = 0;
        if (c >= 'A' && c <= 'Z')
            value = (uint32_t)(c - 'A') + 17;
        else if (c >= 'a' && c <= 'z')
            value = (uint32_t)(c - 'a') + 17;
        else if (c >= '1' && c <= '9')
            value = (uint32_t)(c - '0');
        else if (c == '0')
            value = 10;
        else if (c == '.')
            value = 12;
        else if (c == '_')
            value = 13;
        hash = hash * 43 + value;
    }
    return hash;
}

// Compressed integers of the topic text (the short forms only).
static void PutCompressedUShort(Bytes *out, unsigned value)
{
    if (value < 128)
        PutU8(out, value * 2);
    else
        PutU16(out, value * 2 + 1);
}

static void PutCompressedShort(Bytes *out, int value)
{
    if (value >= -64 && value < 64)
        PutU8(out, (unsigned)(2 * (value + 64)));
    else
        PutU16(out, (unsigned)(2 * (value + 16384) + 1));
}

static void PutCompressedLong(Bytes *out, int value) { PutU16(out, (unsigned)(2 * (value + 16384))); }

// ---- B+ trees ------------------------------------------------------------------------------

struct TreeEntry {
    Bytes leaf; // the entry as a leaf page holds it
    Bytes key;  // its key as an index page holds it
};

struct TreeShape {
    unsigned flags;
    unsigned pageSize;
    const char *structure;
};

static const TreeShape DirectoryTree = {0x0402, 0x400, "z4"};
static const TreeShape ContextTree = {0x0002, 0x800, "L4"};
static const TreeShape TitleTree = {0x0002, 0x800, "Lz"};

enum { TreeHeaderSize = 38, LeafHeaderSize = 8, IndexHeaderSize = 6 };

// Packs sorted entries into leaves and, when there is more than one leaf, one index page above
// them (leaves first, the root last). False when even that cannot hold them.
static bool BuildTree(const std::vector<TreeEntry> &entries, const TreeShape &shape, Bytes *out)
{
    std::vector<std::vector<size_t>> leaves(1);
    size_t used = LeafHeaderSize;
    for (size_t i = 0; i < entries.size(); i++) {
        size_t size = entries[i].leaf.size();
        if (LeafHeaderSize + size > shape.pageSize)
            return false;
        if (used + size > shape.pageSize) {
            leaves.push_back(std::vector<size_t>());
            used = LeafHeaderSize;
        }
        leaves.back().push_back(i);
        used += size;
    }

    size_t indexSize = IndexHeaderSize;
    for (size_t l = 1; l < leaves.size(); l++)
        indexSize += entries[leaves[l][0]].key.size() + 2;
    if (indexSize > shape.pageSize)
        return false;

    int levels = leaves.size() > 1 ? 2 : 1;
    int pages = (int)leaves.size() + (levels - 1);
    PutU16(out, 0x293B);
    PutU16(out, shape.flags);
    PutU16(out, shape.pageSize);
    PutText(out, shape.structure, 16);
    PutU16(out, 0);
    PutU16(out, (unsigned)(pages - levels)); // page splits
    PutU16(out, (unsigned)(pages - 1));      // the root
    PutU16(out, 0xFFFF);
    PutU16(out, (unsigned)pages);
    PutU16(out, (unsigned)levels);
    PutU32(out, (uint32_t)entries.size());

    for (size_t l = 0; l < leaves.size(); l++) {
        Bytes page;
        for (size_t i : leaves[l])
            PutBytes(&page, entries[i].leaf);
        PutU16(out, (unsigned)(shape.pageSize - LeafHeaderSize - page.size())); // free bytes
        PutU16(out, (unsigned)leaves[l].size());
        PutU16(out, l == 0 ? 0xFFFF : (unsigned)(l - 1));
        PutU16(out, l + 1 == leaves.size() ? 0xFFFF : (unsigned)(l + 1));
        PutBytes(out, page);
        out->resize(out->size() + shape.pageSize - LeafHeaderSize - page.size(), 0);
    }
    if (levels == 2) {
        Bytes page;
        for (size_t l = 1; l < leaves.size(); l++) {
            PutBytes(&page, entries[leaves[l][0]].key);
            PutU16(&page, (unsigned)l);
        }
        PutU16(out, (unsigned)(shape.pageSize - IndexHeaderSize - page.size()));
        PutU16(out, (unsigned)(leaves.size() - 1)); // keys, one per child after the first
        PutU16(out, 0);                               // the first child
        PutBytes(out, page);
        out->resize(out->size() + shape.pageSize - IndexHeaderSize - page.size(), 0);
    }
    return true;
}

// ---- |TOPIC --------------------------------------------------------------------------------

enum { TopicHeaderRecord = 0x02, ParagraphRecord = 0x20, RecordHeaderSize = 21 };

// Paragraph format bits and the spacing that goes with them (half-points).
enum { SpaceAbove = 0x02, SpaceBelow = 0x04, LeftIndent = 0x10 };

struct TopicRecord {
    int type;
    Bytes data1;
    Bytes data2;
    int topic; // index of the topic the record belongs to; the closing header has the count
};

static uint32_t RecordSize(const TopicRecord &record)
{
    return (uint32_t)(RecordHeaderSize + record.data1.size() + record.data2.size());
}

static uint32_t TopicPos(uint32_t streamOffset)
{
    return (streamOffset / TopicBlockPayload) * TopicPosStride + TopicBlockHeaderSize +
           streamOffset % TopicBlockPayload;
}

// Commands of the paragraph text and the strings shown before each of them: exactly one string
// per command, the viewer prints a string and then runs the command that follows it.
struct CommandList {
    Bytes commands;
    std::vector<std::string> strings;
    std::string pending;
};

static void Command(CommandList *text, const Bytes &command)
{
    text->strings.push_back(text->pending);
    text->pending.clear();
    PutBytes(&text->commands, command);
}

static Bytes FontCommand(unsigned font)
{
    Bytes command;
    PutU8(&command, 0x80);
    PutU16(&command, font);
    return command;
}

static Bytes JumpCommand(uint32_t hash)
{
    Bytes command;
    PutU8(&command, 0xE3);
    PutU32(&command, hash);
    return command;
}

// heading: the topic's title above its text; opensBlock: the first of a run of example lines,
// which gets some space above it.
static bool BuildParagraph(ParagraphStyle style, bool heading, bool opensBlock, const std::vector<Run> &runs,
                           int line, TopicRecord *record, SourceError *error)
{
    unsigned font = heading ? HeadingFont : style == ExampleParagraph ? ExampleFont : TextFont;
    CommandList text;
    Command(&text, FontCommand(font));
    if (style == BulletParagraph)
        text.pending = BulletText;
    for (const Run &run : runs) {
        if (run.kind == PlainRun) {
            text.pending += run.text;
        } else if (run.kind == BoldRun) {
            Command(&text, FontCommand(BoldFont));
            text.pending = run.text;
            Command(&text, FontCommand(font));
        } else {
            Command(&text, JumpCommand(ContextHash(run.target)));
            text.pending = run.text;
            Command(&text, Bytes(1, 0x89));
        }
    }
    Command(&text, Bytes(1, 0x82));
    Command(&text, Bytes(1, 0xFF));

    Bytes strings;
    for (const std::string &s : text.strings)
        PutZeroText(&strings, s);
    if (strings.size() > 32767)
        return Fail(error, line, "the paragraph holds %d bytes of text; at most 32767 fit", (int)strings.size());
    if (text.commands.size() > 16383)
        return Fail(error, line, "the paragraph has too many bold runs and jumps");

    unsigned bits = 0;
    std::vector<int> spacing;
    if (heading) {
        bits = SpaceBelow;
        spacing = {8};
    } else if (style == BodyParagraph) {
        bits = SpaceAbove;
        spacing = {8};
    } else if (style == BulletParagraph || opensBlock) {
        bits = SpaceAbove | LeftIndent;
        spacing = {4, 16};
    } else {
        bits = LeftIndent;
        spacing = {16};
    }

    record->type = ParagraphRecord;
    PutCompressedLong(&record->data1, (int)text.commands.size()); // TopicSize: the command part
    PutCompressedUShort(&record->data1, (unsigned)strings.size()); // TopicLength
    PutU8(&record->data1, 0x00);
    PutU8(&record->data1, 0x80);
    PutU16(&record->data1, 0); // id
    PutU16(&record->data1, bits);
    for (int value : spacing)
        PutCompressedShort(&record->data1, value);
    PutBytes(&record->data1, text.commands);
    record->data2 = strings;
    return true;
}

// Byte offsets, in a topic header's seven fields, of those that depend on record positions.
enum {
    HeaderTextSize = 0,
    HeaderFirstText = 20,
    HeaderNextTopic = 24,
};

static TopicRecord TopicHeader(int number, const std::string &title)
{
    TopicRecord record;
    record.type = TopicHeaderRecord;
    record.topic = number;
    PutU32(&record.data1, 0);      // byte size of the topic's text records, set later
    PutU32(&record.data1, None);   // browse back
    PutU32(&record.data1, None);   // browse forward
    PutU32(&record.data1, (uint32_t)number);
    PutU32(&record.data1, None);   // non-scrolling region
    PutU32(&record.data1, None);   // first text record, set later
    PutU32(&record.data1, None);   // next topic header, set later
    record.data2.assign(title.begin(), title.end());
    return record;
}

struct TopicStream {
    Bytes file;                       // the blocks of |TOPIC
    std::vector<uint32_t> topicOffsets; // TOPICOFFSET of each topic
};

static bool BuildTopicStream(const HelpDocument &document, TopicStream *stream, SourceError *error)
{
    std::vector<TopicRecord> records;
    for (size_t t = 0; t < document.topics.size(); t++) {
        const Topic &topic = document.topics[t];
        records.push_back(TopicHeader((int)t, topic.title));
        TopicRecord heading;
        heading.topic = (int)t;
        Run title = {PlainRun, topic.title, std::string(), topic.line};
        if (!BuildParagraph(BodyParagraph, true, false, {title}, topic.line, &heading, error))
            return false;
        records.push_back(heading);
        for (size_t p = 0; p < topic.paragraphs.size(); p++) {
            const Paragraph &paragraph = topic.paragraphs[p];
            bool opensBlock = paragraph.style == ExampleParagraph &&
                              (p == 0 || topic.paragraphs[p - 1].style != ExampleParagraph);
            TopicRecord record;
            record.topic = (int)t;
            if (!BuildParagraph(paragraph.style, false, opensBlock, paragraph.runs, paragraph.line, &record, error))
                return false;
            records.push_back(record);
        }
    }
    // The stream ends with an empty topic header whose next pointer is -1.
    records.push_back(TopicHeader((int)document.topics.size(), std::string()));

    std::vector<uint32_t> starts;
    uint32_t streamSize = 0;
    for (const TopicRecord &record : records) {
        starts.push_back(streamSize);
        streamSize += RecordSize(record);
    }

    // Positions in the topic headers: text size, first text record, next header.
    for (size_t i = 0; i < records.size(); i++) {
        if (records[i].type != TopicHeaderRecord)
            continue;
        uint32_t textSize = 0;
        size_t next = i + 1;
        while (next < records.size() && records[next].type != TopicHeaderRecord)
            textSize += RecordSize(records[next++]);
        SetU32(&records[i].data1, HeaderTextSize, textSize);
        if (next == records.size())
            continue; // the closing header: nothing follows
        SetU32(&records[i].data1, HeaderFirstText, next > i + 1 ? TopicPos(starts[i + 1]) : None);
        SetU32(&records[i].data1, HeaderNextTopic, TopicPos(starts[next]));
    }

    // TOPICOFFSET: the block of the header, and the characters of the text records that start
    // before it in that block. Those records all start and end within the block, so the count
    // stays below 4084 and never reaches into the next block's range.
    uint32_t block = None;
    uint32_t characters = 0;
    for (size_t i = 0; i < records.size(); i++) {
        uint32_t here = starts[i] / TopicBlockPayload;
        if (here != block) {
            block = here;
            characters = 0;
        }
        if (records[i].type == TopicHeaderRecord) {
            if (records[i].topic < (int)document.topics.size())
                stream->topicOffsets.push_back(block * TopicOffsetStride + characters);
        } else {
            characters += (uint32_t)records[i].data2.size();
        }
    }

    Bytes payload;
    for (size_t i = 0; i < records.size(); i++) {
        const TopicRecord &record = records[i];
        PutU32(&payload, RecordSize(record));
        PutU32(&payload, (uint32_t)record.data2.size());
        PutU32(&payload, i == 0 ? None : TopicPos(starts[i - 1]));
        PutU32(&payload, i + 1 == records.size() ? None : TopicPos(starts[i + 1]));
        PutU32(&payload, (uint32_t)(RecordHeaderSize + record.data1.size()));
        PutU8(&payload, (unsigned)record.type);
        PutBytes(&payload, record.data1);
        PutBytes(&payload, record.data2);
    }

    size_t blocks = (payload.size() + TopicBlockPayload - 1) / TopicBlockPayload;
    for (size_t b = 0; b < blocks; b++) {
        uint32_t lastLink = None, firstLink = None, lastHeader = None;
        for (size_t i = 0; i < records.size(); i++) {
            uint32_t recordBlock = starts[i] / TopicBlockPayload;
            if (recordBlock < b) {
                lastLink = TopicPos(starts[i]);
                if (records[i].type == TopicHeaderRecord)
                    lastHeader = TopicPos(starts[i]);
            } else if (recordBlock == b && firstLink == None) {
                firstLink = TopicPos(starts[i]);
            }
        }
        PutU32(&stream->file, lastLink);
        PutU32(&stream->file, firstLink);
        PutU32(&stream->file, lastHeader);
        size_t from = b * TopicBlockPayload;
        size_t count = std::min((size_t)TopicBlockPayload, payload.size() - from);
        stream->file.insert(stream->file.end(), payload.begin() + (long)from, payload.begin() + (long)(from + count));
        // The viewer always copies a whole payload, so the last block is padded to full size.
        stream->file.resize((b + 1) * TopicBlockSize, 0);
    }
    return true;
}

// ---- The other internal files --------------------------------------------------------------

static Bytes SystemFile(const HelpDocument &document, uint32_t contentsOffset)
{
    Bytes out;
    PutU16(&out, 0x036C);
    PutU16(&out, 21); // minor version
    PutU16(&out, 1);  // major version
    PutU32(&out, GenerationDate);
    PutU16(&out, 0); // uncompressed, 4 KiB topic blocks

    PutU16(&out, 1);
    PutU16(&out, (unsigned)document.title.size() + 1);
    PutZeroText(&out, document.title);
    if (!document.copyright.empty()) {
        PutU16(&out, 2);
        PutU16(&out, (unsigned)document.copyright.size() + 1);
        PutZeroText(&out, document.copyright);
    }
    PutU16(&out, 3);
    PutU16(&out, 4);
    PutU32(&out, contentsOffset);

    // The main window: without it the viewer shows its own caption instead of the help title.
    PutU16(&out, 6);
    PutU16(&out, 90);
    PutU16(&out, 0x0006); // name and caption given
    PutText(&out, "", 10);
    PutText(&out, "main", 9);
    PutText(&out, document.title, 51);
    for (int i = 0; i < 5; i++)
        PutU16(&out, 0); // position, size, maximised
    PutU32(&out, 0);     // colours
    PutU32(&out, 0);
    return out;
}

static Bytes FontFile()
{
    static const char *const faces[] = {"Arial", "Courier New"};
    struct Descriptor {
        unsigned attributes, halfPoints, family, face;
    };
    // Attributes: 1 bold. Families: 1 modern (fixed pitch), 3 swiss.
    static const Descriptor descriptors[] = {
        {0, 20, 3, 0}, // TextFont
        {1, 20, 3, 0}, // BoldFont
        {1, 28, 3, 0}, // HeadingFont
        {0, 20, 1, 1}, // ExampleFont
    };
    const unsigned faceCount = sizeof faces / sizeof faces[0];
    const unsigned descriptorCount = sizeof descriptors / sizeof descriptors[0];
    Bytes out;
    PutU16(&out, faceCount);
    PutU16(&out, descriptorCount);
    PutU16(&out, 8);
    PutU16(&out, 8 + 32 * faceCount);
    for (const char *face : faces)
        PutText(&out, face, 32);
    for (const Descriptor &d : descriptors) {
        PutU8(&out, d.attributes);
        PutU8(&out, d.halfPoints);
        PutU8(&out, d.family);
        PutU16(&out, d.face);
        PutU8(&out, 0x00); // black text
        PutU8(&out, 0x00);
        PutU8(&out, 0x00);
        PutU8(&out, 0xFF); // on white
        PutU8(&out, 0xFF);
        PutU8(&out, 0xFF);
    }
    return out;
}

static bool ContextFile(const HelpDocument &document, const std::vector<uint32_t> &offsets, Bytes *out,
                        SourceError *error)
{
    std::vector<size_t> order;
    for (size_t t = 0; t < document.topics.size(); t++)
        order.push_back(t);
    // Sorted as signed 32-bit numbers, as the viewer compares them.
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return (int32_t)ContextHash(document.topics[a].context) < (int32_t)ContextHash(document.topics[b].context);
    });
    std::vector<TreeEntry> entries;
    for (size_t i = 0; i < order.size(); i++) {
        const Topic &topic = document.topics[order[i]];
        uint32_t hash = ContextHash(topic.context);
        if (i > 0 && ContextHash(document.topics[order[i - 1]].context) == hash) {
            const Topic &other = document.topics[order[i - 1]];
            const Topic &later = other.line > topic.line ? other : topic;
            const Topic &earlier = other.line > topic.line ? topic : other;
            return Fail(error, later.line, "context '%s' has the same hash as '%s' (line %d): rename one",
                        later.context.c_str(), earlier.context.c_str(), earlier.line);
        }
        TreeEntry entry;
        PutU32(&entry.leaf, hash);
        PutU32(&entry.leaf, offsets[order[i]]);
        PutU32(&entry.key, hash);
        entries.push_back(entry);
    }
    if (!BuildTree(entries, ContextTree, out))
        return Fail(error, document.topics.back().line, "too many topics for the context tree");
    return true;
}

static bool ContextMapFile(const HelpDocument &document, const std::vector<uint32_t> &offsets, Bytes *out,
                           SourceError *error)
{
    std::vector<std::pair<uint32_t, uint32_t>> maps;
    for (size_t t = 0; t < document.topics.size(); t++)
        for (uint32_t map : document.topics[t].maps)
            maps.push_back(std::make_pair(map, offsets[t]));
    if (maps.size() > 0xFFFF)
        return Fail(error, document.topics.back().line, "more than 65535 map numbers");
    std::sort(maps.begin(), maps.end());
    PutU16(out, (unsigned)maps.size());
    for (const auto &map : maps) {
        PutU32(out, map.first);
        PutU32(out, map.second);
    }
    return true;
}

static bool TitleFile(const HelpDocument &document, const std::vector<uint32_t> &offsets, Bytes *out,
                      SourceError *error)
{
    std::vector<TreeEntry> entries;
    for (size_t t = 0; t < document.topics.size(); t++) {
        TreeEntry entry;
        PutU32(&entry.leaf, offsets[t]);
        PutZeroText(&entry.leaf, document.topics[t].title);
        PutU32(&entry.key, offsets[t]);
        entries.push_back(entry);
    }
    if (!BuildTree(entries, TitleTree, out))
        return Fail(error, document.topics.back().line, "too many topics for the title tree");
    return true;
}

static void PutInternalFile(Bytes *out, const Bytes &data)
{
    PutU32(out, (uint32_t)data.size() + 9); // reserved: where the file's data ends
    PutU32(out, (uint32_t)data.size());
    PutU8(out, 4);
    PutBytes(out, data);
}

bool BuildWinHelpFile(const HelpDocument &document, Bytes *file, SourceError *error)
{
    TopicStream topics;
    if (!BuildTopicStream(document, &topics, error))
        return false;

    struct Internal {
        std::string name;
        Bytes data;
    };
    std::vector<Internal> internals(6);
    internals[0].name = "|SYSTEM";
    internals[0].data = SystemFile(document, topics.topicOffsets[0]);
    internals[1].name = "|FONT";
    internals[1].data = FontFile();
    internals[2].name = "|TOPIC";
    internals[2].data = topics.file;
    internals[3].name = "|CONTEXT";
    internals[4].name = "|CTXOMAP";
    internals[5].name = "|TTLBTREE";
    if (!ContextFile(document, topics.topicOffsets, &internals[3].data, error) ||
        !ContextMapFile(document, topics.topicOffsets, &internals[4].data, error) ||
        !TitleFile(document, topics.topicOffsets, &internals[5].data, error))
        return false;

    file->clear();
    PutU32(file, 0x00035F3F);
    PutU32(file, 0); // directory offset, set below
    PutU32(file, None);
    PutU32(file, 0); // total size, set below

    std::vector<TreeEntry> directory;
    for (const Internal &internal : internals) {
        TreeEntry entry;
        PutZeroText(&entry.leaf, internal.name);
        PutU32(&entry.leaf, (uint32_t)file->size());
        PutZeroText(&entry.key, internal.name);
        directory.push_back(entry);
        PutInternalFile(file, internal.data);
    }
    std::sort(directory.begin(), directory.end(),
              [](const TreeEntry &a, const TreeEntry &b) { return a.key < b.key; });
    Bytes tree;
    BuildTree(directory, DirectoryTree, &tree);
    SetU32(file, 4, (uint32_t)file->size());
    PutInternalFile(file, tree);
    SetU32(file, 12, (uint32_t)file->size());
    return true;
}
