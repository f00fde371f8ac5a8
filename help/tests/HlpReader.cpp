#include "HlpReader.h"

#include <stdio.h>
#include <string.h>

typedef std::vector<uint8_t> Bytes;

static const uint32_t None = 0xFFFFFFFFu;
enum { BlockSize = 4096, BlockHeader = 12, Payload = 4084 };

static uint32_t U16(const uint8_t *p) { return (uint32_t)p[0] | ((uint32_t)p[1] << 8); }
static int32_t S16(const uint8_t *p) { return (int16_t)U16(p); }
static uint32_t U32(const uint8_t *p) { return U16(p) | (U16(p + 2) << 16); }

static std::string Hex(uint32_t value)
{
    char text[16];
    snprintf(text, sizeof text, "0x%X", (unsigned)value);
    return text;
}

std::vector<uint8_t> ReadWholeFile(const std::string &path)
{
    Bytes bytes;
    FILE *file = fopen(path.c_str(), "rb");
    if (file == NULL)
        return bytes;
    uint8_t chunk[4096];
    size_t got = 0;
    while ((got = fread(chunk, 1, sizeof chunk, file)) > 0)
        bytes.insert(bytes.end(), chunk, chunk + got);
    fclose(file);
    return bytes;
}

uint32_t HlpFile::Hash(const std::string &name)
{
    uint32_t hash = 0;
    for (char c : name) {
        char upper = (c >= 'a' && c <= 'z') ? (char)(c - 32) : c;
        uint32_t value = 0;
        if (upper >= 'A' && upper <= 'Z')
            value = 17 + (uint32_t)(upper - 'A');
        else if (upper >= '1' && upper <= '9')
            value = (uint32_t)(upper - '0');
        else if (upper == '0')
            value = 10;
        else if (upper == '.')
            value = 12;
        else if (upper == '_')
            value = 13;
        hash = hash * 43 + value;
    }
    return hash;
}

bool HlpFile::Fault(const std::string &what)
{
    if (problem_.empty())
        problem_ = what;
    return false;
}

// ---- B+ trees ------------------------------------------------------------------------------

namespace {

// A B+ tree as its header describes it. Keys are 'z' (a string) or 'L' (a signed 32-bit number);
// values are '4' (a 32-bit number) or 'z' (a string).
struct Tree {
    const Bytes *data;
    unsigned pageSize;
    char keyKind, valueKind;
    int root, levels, pages;
    uint32_t entries;

    const uint8_t *Page(int page) const { return data->data() + 38 + (size_t)page * pageSize; }

    size_t KeyLength(const uint8_t *p) const
    {
        return keyKind == 'z' ? strnlen((const char *)p, pageSize) + 1 : 4;
    }
    size_t EntryLength(const uint8_t *p) const
    {
        size_t key = KeyLength(p);
        return key + (valueKind == 'z' ? strnlen((const char *)p + key, pageSize) + 1 : 4);
    }
    // Compares a stored key with the one looked for: <0, 0, >0.
    int Compare(const uint8_t *stored, const std::string &textKey, int32_t numberKey) const
    {
        if (keyKind == 'z')
            return strcmp((const char *)stored, textKey.c_str());
        int32_t value = (int32_t)U32(stored);
        return value < numberKey ? -1 : value > numberKey ? 1 : 0;
    }
};

bool OpenTree(const Bytes &data, const char *structure, Tree *tree, std::string *fault)
{
    if (data.size() < 38 || U16(&data[0]) != 0x293B) {
        *fault = std::string("no B+ tree header for ") + structure;
        return false;
    }
    tree->data = &data;
    tree->pageSize = U16(&data[4]);
    if (strncmp((const char *)&data[6], structure, 16) != 0) {
        *fault = std::string("tree structure is not ") + structure;
        return false;
    }
    tree->keyKind = structure[0];
    tree->valueKind = structure[1];
    tree->root = S16(&data[26]);
    tree->pages = S16(&data[30]);
    tree->levels = S16(&data[32]);
    tree->entries = U32(&data[34]);
    if (tree->pageSize == 0 || data.size() != 38 + (size_t)tree->pages * tree->pageSize || tree->root < 0 ||
        tree->root >= tree->pages || tree->levels < 1 || S16(&data[28]) != -1 ||
        S16(&data[24]) != tree->pages - tree->levels) {
        *fault = std::string("inconsistent header of the ") + structure + " tree";
        return false;
    }
    return true;
}

// Descends from the root as the viewer does: in an index page, the child after the last key not
// above the key looked for. Returns the value of the matching leaf entry, or null.
const uint8_t *Search(const Tree &tree, const std::string &textKey, int32_t numberKey)
{
    int page = tree.root;
    for (int level = tree.levels; level > 1; level--) {
        const uint8_t *index = tree.Page(page);
        int count = S16(index + 2);
        int child = S16(index + 4);
        const uint8_t *p = index + 6;
        for (int i = 0; i < count; i++) {
            if (tree.Compare(p, textKey, numberKey) > 0)
                break;
            size_t key = tree.KeyLength(p);
            child = (int)U16(p + key);
            p += key + 2;
        }
        if (child < 0 || child >= tree.pages)
            return NULL;
        page = child;
    }
    const uint8_t *leaf = tree.Page(page);
    int count = S16(leaf + 2);
    const uint8_t *p = leaf + 8;
    for (int i = 0; i < count; i++) {
        if (tree.Compare(p, textKey, numberKey) == 0)
            return p + tree.KeyLength(p);
        p += tree.EntryLength(p);
    }
    return NULL;
}

// Every leaf entry from the leftmost leaf along the next-leaf links; checks the links, the
// counts, the free-byte counts and the sort order on the way.
bool WalkLeaves(const Tree &tree, std::vector<const uint8_t *> *entries, std::string *fault)
{
    int page = tree.root;
    for (int level = tree.levels; level > 1; level--)
        page = S16(tree.Page(page) + 4);
    int previous = -1;
    const uint8_t *last = NULL;
    for (int visited = 0; page != -1; visited++) {
        if (page < 0 || page >= tree.pages || visited >= tree.pages) {
            *fault = "broken leaf chain";
            return false;
        }
        const uint8_t *leaf = tree.Page(page);
        if (S16(leaf + 4) != previous) {
            *fault = "wrong previous-leaf link";
            return false;
        }
        int count = S16(leaf + 2);
        const uint8_t *p = leaf + 8;
        for (int i = 0; i < count; i++) {
            if (last != NULL) {
                std::string lastText = tree.keyKind == 'z' ? std::string((const char *)last) : std::string();
                if (tree.Compare(p, lastText, (int32_t)U32(last)) <= 0) {
                    *fault = "leaf entries out of order";
                    return false;
                }
            }
            entries->push_back(p);
            last = p;
            p += tree.EntryLength(p);
        }
        if (U16(leaf) != (uint32_t)(tree.pageSize - (p - leaf))) {
            *fault = "wrong free-byte count in a leaf";
            return false;
        }
        previous = page;
        page = S16(leaf + 6);
    }
    if (entries->size() != tree.entries) {
        *fault = "the tree's entry count differs from its leaves";
        return false;
    }
    return true;
}

} // namespace

// ---- The file ------------------------------------------------------------------------------

bool HlpFile::InternalFile(const std::string &name, Bytes *data) const
{
    Tree tree;
    std::string fault;
    if (!OpenTree(directory_, "z4", &tree, &fault))
        return false;
    const uint8_t *value = Search(tree, name, 0);
    if (value == NULL)
        return false;
    uint32_t offset = U32(value);
    if ((size_t)offset + 9 > file_.size())
        return false;
    uint32_t reserved = U32(&file_[offset]);
    uint32_t used = U32(&file_[offset + 4]);
    // The viewer takes reserved as the end of the data and refuses less than used + 9.
    if (reserved != used + 9 || (size_t)offset + reserved > file_.size() || file_[offset + 8] != 4)
        return false;
    data->assign(file_.begin() + offset + 9, file_.begin() + offset + 9 + used);
    return true;
}

std::vector<std::string> HlpFile::InternalFiles() const
{
    std::vector<std::string> names;
    Tree tree;
    std::string fault;
    std::vector<const uint8_t *> entries;
    if (OpenTree(directory_, "z4", &tree, &fault) && WalkLeaves(tree, &entries, &fault))
        for (const uint8_t *entry : entries)
            names.push_back((const char *)entry);
    return names;
}

bool HlpFile::Load(const Bytes &bytes, std::string *problem)
{
    *this = HlpFile();
    file_ = bytes;
    bool ok = [&]() {
        if (file_.size() < 16 || U32(&file_[0]) != 0x00035F3F)
            return Fault("no WinHelp 3.1 magic number");
        if (U32(&file_[8]) != None)
            return Fault("first free block is not -1");
        if (U32(&file_[12]) != file_.size())
            return Fault("the header's file size is " + std::to_string(U32(&file_[12])) + ", the file has " +
                         std::to_string(file_.size()) + " bytes");
        uint32_t directory = U32(&file_[4]);
        if ((size_t)directory + 9 > file_.size())
            return Fault("directory offset beyond the file");
        uint32_t used = U32(&file_[directory + 4]);
        if (U32(&file_[directory]) != used + 9 || (size_t)directory + 9 + used > file_.size())
            return Fault("bad header of the directory");
        directory_.assign(file_.begin() + directory + 9, file_.begin() + directory + 9 + used);
        Tree tree;
        std::string fault;
        if (!OpenTree(directory_, "z4", &tree, &fault) || tree.pageSize != 0x400 || U16(&directory_[2]) != 0x0402)
            return Fault("directory: " + (fault.empty() ? std::string("wrong page size or flags") : fault));
        std::vector<const uint8_t *> entries;
        if (!WalkLeaves(tree, &entries, &fault))
            return Fault("directory: " + fault);
        for (const char *name : {"|SYSTEM", "|FONT", "|TOPIC", "|CONTEXT"}) {
            Bytes data;
            if (!InternalFile(name, &data))
                return Fault(std::string("internal file ") + name + " missing or its header wrong");
        }
        InternalFile("|CONTEXT", &context_);
        InternalFile("|TTLBTREE", &titles_);
        InternalFile("|CTXOMAP", &map_);
        if (!ReadSystem() || !ReadFonts() || !ReadTopics())
            return false;

        Tree contextTree;
        std::vector<const uint8_t *> contexts;
        if (!OpenTree(context_, "L4", &contextTree, &fault) || !WalkLeaves(contextTree, &contexts, &fault))
            return Fault("|CONTEXT: " + fault);
        contextPages_ = contextTree.pages;
        if (!titles_.empty()) {
            Tree titleTree;
            std::vector<const uint8_t *> titles;
            if (!OpenTree(titles_, "Lz", &titleTree, &fault) || !WalkLeaves(titleTree, &titles, &fault))
                return Fault("|TTLBTREE: " + fault);
        }
        if (!map_.empty() && map_.size() != 2 + 8 * (size_t)U16(&map_[0]))
            return Fault("|CTXOMAP: its count does not match its size");
        return true;
    }();
    *problem = problem_;
    return ok;
}

bool HlpFile::ReadSystem()
{
    Bytes system;
    InternalFile("|SYSTEM", &system);
    if (system.size() < 12 || U16(&system[0]) != 0x036C || U16(&system[2]) != 21 || U16(&system[4]) != 1)
        return Fault("|SYSTEM: not a version 1.21 header");
    if (U16(&system[10]) != 0)
        return Fault("|SYSTEM: flags other than uncompressed with 4 KiB blocks");
    bool haveContents = false;
    size_t p = 12;
    while (p < system.size()) {
        if (p + 4 > system.size())
            return Fault("|SYSTEM: record header cut short");
        uint32_t type = U16(&system[p]);
        uint32_t size = U16(&system[p + 2]);
        const uint8_t *data = &system[p + 4];
        if (p + 4 + size > system.size())
            return Fault("|SYSTEM: record runs past the end");
        if (type == 1 || type == 2) {
            if (size == 0 || data[size - 1] != 0)
                return Fault("|SYSTEM: text record without its NUL");
            if (type == 1)
                title_ = (const char *)data;
        } else if (type == 3) {
            if (size != 4)
                return Fault("|SYSTEM: contents record is not 4 bytes");
            contents_ = U32(data);
            haveContents = true;
        } else if (type == 6) {
            if (size != 90 || U16(data) != 0x0006 || strncmp((const char *)data + 12, "main", 9) != 0)
                return Fault("|SYSTEM: main window record is not the 90-byte form with name and caption");
            caption_ = std::string((const char *)data + 21, strnlen((const char *)data + 21, 51));
        }
        p += 4 + size;
    }
    if (!haveContents)
        return Fault("|SYSTEM: no contents record");
    return true;
}

bool HlpFile::ReadFonts()
{
    Bytes font;
    InternalFile("|FONT", &font);
    if (font.size() < 8)
        return Fault("|FONT: too short");
    uint32_t faces = U16(&font[0]);
    uint32_t descriptors = U16(&font[2]);
    uint32_t faceOffset = U16(&font[4]);
    uint32_t descriptorOffset = U16(&font[6]);
    if (faceOffset != 8 || descriptorOffset != 8 + 32 * faces || font.size() != descriptorOffset + 11 * descriptors)
        return Fault("|FONT: offsets and counts do not match its size");
    for (uint32_t i = 0; i < descriptors; i++) {
        const uint8_t *d = &font[descriptorOffset + 11 * i];
        uint32_t face = U16(d + 3);
        if (face >= faces)
            return Fault("|FONT: descriptor names a face that is not there");
        const char *name = (const char *)&font[faceOffset + 32 * face];
        HlpFont entry = {d[0], d[1], d[2], std::string(name, strnlen(name, 32))};
        fonts_.push_back(entry);
    }
    return true;
}

namespace {

bool CompressedLong(const Bytes &data, size_t *p, int32_t *value)
{
    if (*p + 2 > data.size())
        return false;
    uint32_t first = U16(&data[*p]);
    if ((first & 1) == 0) {
        *value = (int32_t)(first / 2) - 16384;
        *p += 2;
        return true;
    }
    if (*p + 4 > data.size())
        return false;
    *value = (int32_t)(U32(&data[*p]) / 2) - 0x40000000;
    *p += 4;
    return true;
}

bool CompressedUShort(const Bytes &data, size_t *p, uint32_t *value)
{
    if (*p >= data.size())
        return false;
    if ((data[*p] & 1) == 0) {
        *value = data[*p] / 2u;
        *p += 1;
        return true;
    }
    if (*p + 2 > data.size())
        return false;
    *value = U16(&data[*p]) / 2;
    *p += 2;
    return true;
}

} // namespace

bool HlpFile::ReadParagraph(const Bytes &data1, const Bytes &data2, HlpParagraph *out)
{
    size_t p = 0;
    int32_t topicSize = 0;
    uint32_t topicLength = 0;
    if (!CompressedLong(data1, &p, &topicSize) || !CompressedUShort(data1, &p, &topicLength))
        return Fault("paragraph: sizes cut short");
    if (topicLength != data2.size())
        return Fault("paragraph: TopicLength " + std::to_string(topicLength) + " but " +
                     std::to_string(data2.size()) + " bytes of strings");
    if (p + 6 > data1.size() || data1[p] != 0x00 || data1[p + 1] != 0x80)
        return Fault("paragraph: no 00 80 after the sizes");
    p += 4; // 00 80 and the id
    out->bits = U16(&data1[p]);
    p += 2;
    if (out->bits & 0x01) {
        int32_t ignored = 0;
        if (!CompressedLong(data1, &p, &ignored))
            return Fault("paragraph: cut short");
    }
    // The spacing and indent values are skipped: a compressed signed short is laid out as an
    // unsigned one (bit 0 tells one byte from two), only its bias differs.
    for (unsigned bit : {0x02u, 0x04u, 0x08u, 0x10u, 0x20u, 0x40u})
        if (out->bits & bit) {
            uint32_t ignored = 0;
            if (!CompressedUShort(data1, &p, &ignored))
                return Fault("paragraph: spacing cut short");
        }
    if (out->bits & 0x300)
        return Fault("paragraph: borders or tab stops, which this reader does not know");

    // The command part, up to and including FF.
    size_t commandsStart = p;
    std::vector<size_t> commands;
    for (;;) {
        if (p >= data1.size())
            return Fault("paragraph: commands without FF");
        commands.push_back(p);
        uint8_t command = data1[p];
        if (command == 0x80)
            p += 3;
        else if (command == 0xE3)
            p += 5;
        else if (command == 0x89 || command == 0x82)
            p += 1;
        else if (command == 0xFF) {
            p += 1;
            break;
        } else
            return Fault("paragraph: unknown command " + Hex(command));
        if (p > data1.size())
            return Fault("paragraph: command cut short");
    }
    if (p != data1.size())
        return Fault("paragraph: bytes after FF");
    if (topicSize != (int32_t)(p - commandsStart))
        return Fault("paragraph: TopicSize is not the length of the command part");

    std::vector<std::string> strings;
    size_t start = 0;
    for (size_t i = 0; i < data2.size(); i++)
        if (data2[i] == 0) {
            strings.push_back(std::string(data2.begin() + start, data2.begin() + i));
            start = i + 1;
        }
    if (start != data2.size())
        return Fault("paragraph: last string without NUL");
    if (strings.size() != commands.size())
        return Fault("paragraph: " + std::to_string(strings.size()) + " strings for " +
                     std::to_string(commands.size()) + " commands");

    // The viewer prints a string, then runs the command after it.
    int font = -1;
    bool jump = false;
    uint32_t hash = 0;
    bool ended = false;
    for (size_t i = 0; i < strings.size(); i++) {
        if (!strings[i].empty()) {
            if (ended)
                return Fault("paragraph: text after the end of the paragraph");
            if (font < 0)
                return Fault("paragraph: text before any font is chosen");
            if (!out->runs.empty() && out->runs.back().font == font && out->runs.back().jump == jump &&
                out->runs.back().hash == hash && !jump)
                out->runs.back().text += strings[i];
            else
                out->runs.push_back(HlpRun{font, strings[i], jump, hash});
            out->text += strings[i];
        }
        const uint8_t *c = &data1[commands[i]];
        if (c[0] == 0x80) {
            font = (int)U16(c + 1);
            if (font >= (int)fonts_.size())
                return Fault("paragraph: font " + std::to_string(font) + " is not in |FONT");
        } else if (c[0] == 0xE3) {
            if (jump)
                return Fault("paragraph: a jump inside a jump");
            jump = true;
            hash = U32(c + 1);
        } else if (c[0] == 0x89) {
            if (!jump)
                return Fault("paragraph: jump end without a jump");
            jump = false;
            hash = 0;
        } else if (c[0] == 0x82) {
            ended = true;
        }
    }
    if (jump)
        return Fault("paragraph: jump not ended");
    return true;
}

bool HlpFile::ReadTopics()
{
    Bytes topic;
    InternalFile("|TOPIC", &topic);
    if (topic.empty() || topic.size() % BlockSize != 0)
        return Fault("|TOPIC: not whole 4096-byte blocks");
    blocks_ = topic.size() / BlockSize;
    Bytes stream;
    for (size_t b = 0; b < blocks_; b++)
        stream.insert(stream.end(), topic.begin() + b * BlockSize + BlockHeader, topic.begin() + (b + 1) * BlockSize);

    // TOPICPOS: block * 0x4000 + 12 + offset in the block's payload.
    auto streamIndex = [&](uint32_t pos, size_t *index) {
        uint32_t block = pos / 0x4000;
        uint32_t offset = pos % 0x4000;
        if (offset < BlockHeader || offset - BlockHeader >= Payload || block >= blocks_)
            return false;
        *index = block * Payload + (offset - BlockHeader);
        return true;
    };

    struct Seen {
        uint32_t pos;
        int type;
        size_t index;
        uint32_t size;
        uint32_t next;
        Bytes data1;
    };
    std::vector<Seen> records;
    uint32_t pos = U32(&topic[4]); // block 0's first record
    uint32_t previous = None;
    uint32_t block = None;
    uint32_t characters = 0;
    bool closed = false;
    while (pos != None) {
        size_t index = 0;
        if (!streamIndex(pos, &index) || index + 21 > stream.size())
            return Fault("|TOPIC: record position " + Hex(pos) + " outside the blocks");
        if (!records.empty() && index <= records.back().index)
            return Fault("|TOPIC: records do not follow each other forwards");
        if (closed)
            return Fault("|TOPIC: records after the closing topic header");
        const uint8_t *h = &stream[index];
        uint32_t size = U32(h), length2 = U32(h + 4), prev = U32(h + 8), next = U32(h + 12), length1 = U32(h + 16);
        int type = h[20];
        if (prev != previous)
            return Fault("|TOPIC: PrevBlock of " + Hex(pos) + " is not the record before it");
        if (length1 < 21 || size != length1 + length2 || index + size > stream.size())
            return Fault("|TOPIC: record sizes at " + Hex(pos) + " do not add up");
        if (index % Payload + 21 > Payload)
            headersAcross_++;
        Bytes data1(stream.begin() + index + 21, stream.begin() + index + length1);
        Bytes data2(stream.begin() + index + length1, stream.begin() + index + size);

        uint32_t here = (uint32_t)(index / Payload);
        if (here != block) {
            block = here;
            characters = 0;
        }
        if (type == 0x02) {
            if (data1.size() != 28)
                return Fault("|TOPIC: topic header of " + std::to_string(data1.size()) + " bytes");
            if (next == None) {
                if (!data2.empty() || U32(&data1[24]) != None)
                    return Fault("|TOPIC: the closing topic header is not empty");
                closed = true;
            } else {
                HlpTopic t;
                t.offset = block * 0x8000 + characters;
                t.pos = pos;
                t.number = U32(&data1[12]);
                t.title.assign(data2.begin(), data2.end());
                t.firstBlock = here;
                t.lastBlock = (uint32_t)((index + size - 1) / Payload);
                topics_.push_back(t);
            }
        } else if (type == 0x20) {
            if (topics_.empty())
                return Fault("|TOPIC: a paragraph before the first topic header");
            HlpParagraph paragraph;
            paragraph.bits = 0;
            if (!ReadParagraph(data1, data2, &paragraph))
                return false;
            topics_.back().paragraphs.push_back(paragraph);
            topics_.back().lastBlock = (uint32_t)((index + size - 1) / Payload);
            characters += (uint32_t)data2.size();
        } else {
            return Fault("|TOPIC: record type " + Hex((uint32_t)type));
        }
        records.push_back(Seen{pos, type, index, size, next, data1});
        previous = pos;
        pos = next;
    }
    if (!closed)
        return Fault("|TOPIC: no closing topic header");

    // The topic headers' pointers: text size, first text record and next topic header.
    for (size_t i = 0; i < records.size(); i++) {
        if (records[i].type != 0x02 || records[i].next == None)
            continue;
        size_t next = i + 1;
        uint32_t textSize = 0;
        while (next < records.size() && records[next].type != 0x02)
            textSize += records[next++].size;
        const Bytes &d = records[i].data1;
        uint32_t firstText = next > i + 1 ? records[i + 1].pos : None;
        if (U32(&d[0]) != textSize || U32(&d[4]) != None || U32(&d[8]) != None || U32(&d[16]) != None ||
            U32(&d[20]) != firstText || next >= records.size() || U32(&d[24]) != records[next].pos)
            return Fault("|TOPIC: fields of the topic header at " + Hex(records[i].pos) + " are wrong");
    }

    // Each block header: the last record and the last topic header starting in an earlier block,
    // and the first record starting in this one.
    for (size_t b = 0; b < blocks_; b++) {
        uint32_t lastLink = None, firstLink = None, lastHeader = None;
        for (const Seen &record : records) {
            size_t recordBlock = record.index / Payload;
            if (recordBlock < b) {
                lastLink = record.pos;
                if (record.type == 0x02)
                    lastHeader = record.pos;
            } else if (recordBlock == b && firstLink == None) {
                firstLink = record.pos;
            }
        }
        const uint8_t *header = &topic[b * BlockSize];
        if (U32(header) != lastLink || U32(header + 4) != firstLink || U32(header + 8) != lastHeader)
            return Fault("|TOPIC: header of block " + std::to_string(b) + " is wrong");
    }
    return true;
}

const HlpTopic *HlpFile::TopicAt(uint32_t offset, uint32_t *relative) const
{
    const HlpTopic *found = NULL;
    for (const HlpTopic &topic : topics_)
        if (topic.offset <= offset && (found == NULL || found->offset < topic.offset))
            found = &topic;
    if (found != NULL && relative != nullptr)
        *relative = offset - found->offset;
    return found;
}

bool HlpFile::LookUpHash(uint32_t hash, uint32_t *offset) const
{
    Tree tree;
    std::string fault;
    if (!OpenTree(context_, "L4", &tree, &fault))
        return false;
    const uint8_t *value = Search(tree, std::string(), (int32_t)hash);
    if (value == NULL)
        return false;
    *offset = U32(value);
    return true;
}

bool HlpFile::LookUpContext(const std::string &name, uint32_t *offset) const { return LookUpHash(Hash(name), offset); }

bool HlpFile::LookUpMap(uint32_t number, uint32_t *offset) const
{
    if (map_.size() < 2)
        return false;
    uint32_t count = U16(&map_[0]);
    for (uint32_t i = 0; i < count; i++)
        if (U32(&map_[2 + 8 * i]) == number) {
            *offset = U32(&map_[2 + 8 * i + 4]);
            return true;
        }
    return false;
}

bool HlpFile::LookUpTitle(uint32_t offset, std::string *title) const
{
    Tree tree;
    std::string fault;
    if (titles_.empty() || !OpenTree(titles_, "Lz", &tree, &fault))
        return false;
    const uint8_t *value = Search(tree, std::string(), (int32_t)offset);
    if (value == NULL)
        return false;
    *title = (const char *)value;
    return true;
}
