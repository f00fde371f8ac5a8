// Reads a WinHelp 3.1 file back the way the viewer looks things up: the header, the internal
// directory tree, |SYSTEM, |FONT, the |TOPIC blocks and their records, and the |CONTEXT,
// |CTXOMAP and |TTLBTREE lookups. Written for the tests, independently of the compiler's writer:
// it checks every size, pointer and count it passes, and reports the first that is wrong.
#pragma once

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

struct HlpRun {
    int font;
    std::string text;
    bool jump;
    uint32_t hash; // the jump's context hash
};

struct HlpParagraph {
    unsigned bits;
    std::vector<HlpRun> runs; // in order, one per printed string that is not empty
    std::string text;         // all the strings
};

struct HlpTopic {
    uint32_t offset; // TOPICOFFSET
    uint32_t pos;    // TOPICPOS of its header
    uint32_t number;
    std::string title; // from the topic header
    std::vector<HlpParagraph> paragraphs;
    uint32_t firstBlock, lastBlock; // topic blocks its records occupy (header start ... last byte)
};

struct HlpFont {
    unsigned attributes, halfPoints, family;
    std::string face;
};

class HlpFile {
public:
    // Parses the whole file; false with a description of the first fault.
    bool Load(const std::vector<uint8_t> &bytes, std::string *problem);

    // Names in the internal directory, in the order its leaves hold them.
    std::vector<std::string> InternalFiles() const;

    const std::string &Title() const { return title_; }
    const std::string &Caption() const { return caption_; }
    uint32_t ContentsOffset() const { return contents_; }
    const std::vector<HlpFont> &Fonts() const { return fonts_; }
    const std::vector<HlpTopic> &Topics() const { return topics_; }
    size_t TopicBlocks() const { return blocks_; }
    // Records whose 21-byte header is cut by a block boundary.
    int RecordHeadersAcrossBlocks() const { return headersAcross_; }

    // The viewer's page for an offset: the topic with the largest offset not above it.
    const HlpTopic *TopicAt(uint32_t offset, uint32_t *relative = nullptr) const;
    // |CONTEXT: hash -> TOPICOFFSET, through the tree from its root.
    bool LookUpHash(uint32_t hash, uint32_t *offset) const;
    bool LookUpContext(const std::string &name, uint32_t *offset) const;
    // |CTXOMAP: map number -> TOPICOFFSET.
    bool LookUpMap(uint32_t number, uint32_t *offset) const;
    // |TTLBTREE: TOPICOFFSET -> title, through the tree from its root.
    bool LookUpTitle(uint32_t offset, std::string *title) const;
    // Pages of the |CONTEXT tree (leaves and index pages).
    int ContextTreePages() const { return contextPages_; }

    static uint32_t Hash(const std::string &name);

private:
    bool Fault(const std::string &what);
    bool InternalFile(const std::string &name, std::vector<uint8_t> *data) const;
    bool ReadSystem();
    bool ReadFonts();
    bool ReadTopics();
    bool ReadParagraph(const std::vector<uint8_t> &data1, const std::vector<uint8_t> &data2, HlpParagraph *out);

    std::vector<uint8_t> file_;
    std::vector<uint8_t> directory_;
    std::vector<uint8_t> context_, titles_, map_;
    std::string title_, caption_;
    uint32_t contents_ = 0;
    std::vector<HlpFont> fonts_;
    std::vector<HlpTopic> topics_;
    size_t blocks_ = 0;
    int headersAcross_ = 0;
    int contextPages_ = 0;
    std::string problem_;
};

std::vector<uint8_t> ReadWholeFile(const std::string &path);
