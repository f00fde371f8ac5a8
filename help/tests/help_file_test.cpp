// The built Morvane.hlp, read back the way the viewer reads it, against its source: every topic's
// title and text, every jump, the map numbers, a topic across a block boundary. Then the help's
// quoted examples and numbers against what the program itself writes and uses.
#include "HelpTestPaths.h"
#include "HlpReader.h"
#include "compiler/HelpSource.h"

#include "shell/Shell.h"
#include "core/UiHelpers.h"
#include "split/Split.h"
#include "support/SplitFixture.h"

#include <gtest/gtest.h>

#include <set>

static std::string ReadSource()
{
    std::vector<uint8_t> bytes = ReadWholeFile(HelpSource());
    return std::string(bytes.begin(), bytes.end());
}

// The help file as built and the source it was built from, both loaded for each case.
class BuiltHelp : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::vector<uint8_t> bytes = ReadWholeFile(BuiltHelpFile());
        ASSERT_FALSE(bytes.empty()) << BuiltHelpFile() << " is missing";
        std::string problem;
        ASSERT_TRUE(help.Load(bytes, &problem)) << problem;
        SourceError error = {0, std::string()};
        ASSERT_TRUE(ParseHelpSource(ReadSource(), &source, &error)) << error.line << ": " << error.reason;
    }

    // The topic the viewer shows for a context name; fails the test when there is none.
    const HlpTopic *Shown(const std::string &context)
    {
        uint32_t offset = 0;
        uint32_t relative = 1;
        EXPECT_TRUE(help.LookUpContext(context, &offset)) << context << " is not in |CONTEXT";
        const HlpTopic *topic = help.TopicAt(offset, &relative);
        EXPECT_NE(topic, nullptr) << context;
        EXPECT_EQ(relative, 0u) << context << " does not lead to the start of its topic";
        return topic;
    }

    const Topic &SourceTopic(const std::string &context)
    {
        for (const Topic &topic : source.topics)
            if (topic.context == context)
                return topic;
        ADD_FAILURE() << "no topic " << context << " in the source";
        return source.topics.front();
    }

    bool IsBold(int font) const
    {
        return font >= 0 && font < (int)help.Fonts().size() && (help.Fonts()[font].attributes & 1) != 0;
    }

    HlpFile help;
    HelpDocument source;
};

TEST_F(BuiltHelp, TheDirectoryNamesEveryInternalFileInByteOrder)
{
    std::vector<std::string> expected = {"|CONTEXT", "|CTXOMAP", "|FONT", "|SYSTEM", "|TOPIC", "|TTLBTREE"};
    EXPECT_EQ(help.InternalFiles(), expected);
}

TEST_F(BuiltHelp, TheViewerShowsTheHelpTitleAndOpensAtTheContentsTopic)
{
    EXPECT_EQ(help.Title(), source.title);
    EXPECT_EQ(help.Caption(), source.title) << "the main window record gives the viewer's caption";
    EXPECT_EQ(help.Title(), "Morvane 3.2 Help");
    uint32_t relative = 1;
    const HlpTopic *contents = help.TopicAt(help.ContentsOffset(), &relative);
    ASSERT_NE(contents, nullptr);
    EXPECT_EQ(relative, 0u);
    EXPECT_EQ(contents->title, source.topics.front().title);
    EXPECT_EQ(source.topics.front().context, "contents");
}

// Every topic of the source, found by its context name: title in the topic header and in
// |TTLBTREE, the heading, then every paragraph's text, its bold runs, its jumps and its style.
TEST_F(BuiltHelp, EveryTopicReadsBackWithItsTitleAndText)
{
    ASSERT_EQ(help.Topics().size(), source.topics.size());
    for (const Topic &topic : source.topics) {
        SCOPED_TRACE("topic " + topic.context);
        const HlpTopic *shown = Shown(topic.context);
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->title, topic.title);
        std::string listed;
        EXPECT_TRUE(help.LookUpTitle(shown->offset, &listed));
        EXPECT_EQ(listed, topic.title);

        ASSERT_EQ(shown->paragraphs.size(), topic.paragraphs.size() + 1) << "a heading, then the paragraphs";
        const HlpParagraph &heading = shown->paragraphs[0];
        EXPECT_EQ(heading.text, topic.title);
        ASSERT_EQ(heading.runs.size(), 1u);
        EXPECT_TRUE(IsBold(heading.runs[0].font));
        EXPECT_GT(help.Fonts()[heading.runs[0].font].halfPoints, help.Fonts()[0].halfPoints);

        for (size_t p = 0; p < topic.paragraphs.size(); p++) {
            const Paragraph &written = topic.paragraphs[p];
            const HlpParagraph &read = shown->paragraphs[p + 1];
            SCOPED_TRACE("paragraph of line " + std::to_string(written.line));
            EXPECT_EQ(read.text, ParagraphText(written));

            std::vector<std::string> boldWritten, boldRead, jumpsWritten, jumpsRead;
            for (const ::Run &run : written.runs) {
                if (run.kind == BoldRun)
                    boldWritten.push_back(run.text);
                if (run.kind == JumpRun)
                    jumpsWritten.push_back(run.text);
            }
            for (const HlpRun &run : read.runs) {
                if (run.jump)
                    jumpsRead.push_back(run.text);
                else if (IsBold(run.font))
                    boldRead.push_back(run.text);
            }
            EXPECT_EQ(boldRead, boldWritten);
            EXPECT_EQ(jumpsRead, jumpsWritten);

            bool indented = (read.bits & 0x10) != 0;
            EXPECT_EQ(indented, written.style != BodyParagraph);
            bool fixed = !read.runs.empty() && help.Fonts()[read.runs[0].font].family == 1;
            EXPECT_EQ(fixed, written.style == ExampleParagraph);
        }
    }
}

TEST_F(BuiltHelp, EveryJumpLeadsToTheTopicItNames)
{
    int jumps = 0;
    for (const Topic &topic : source.topics) {
        const HlpTopic *shown = Shown(topic.context);
        ASSERT_NE(shown, nullptr);
        std::vector<const ::Run *> written;
        for (const Paragraph &paragraph : topic.paragraphs)
            for (const ::Run &run : paragraph.runs)
                if (run.kind == JumpRun)
                    written.push_back(&run);
        size_t next = 0;
        for (const HlpParagraph &paragraph : shown->paragraphs)
            for (const HlpRun &run : paragraph.runs) {
                if (!run.jump)
                    continue;
                ASSERT_LT(next, written.size()) << "more jumps than the source has in " << topic.context;
                const ::Run &jump = *written[next++];
                uint32_t offset = 0;
                ASSERT_TRUE(help.LookUpHash(run.hash, &offset)) << "jump to " << jump.target << " has no context";
                uint32_t relative = 1;
                const HlpTopic *target = help.TopicAt(offset, &relative);
                ASSERT_NE(target, nullptr);
                EXPECT_EQ(relative, 0u);
                EXPECT_EQ(target->title, SourceTopic(jump.target).title) << "jump at line " << jump.line;
                jumps++;
            }
        EXPECT_EQ(next, written.size()) << "jumps missing from " << topic.context;
    }
    EXPECT_GE(jumps, 14);
}

TEST_F(BuiltHelp, TheContentsTopicJumpsToEveryOtherTopic)
{
    const HlpTopic *contents = help.TopicAt(help.ContentsOffset());
    ASSERT_NE(contents, nullptr);
    std::set<std::string> reached;
    for (const HlpParagraph &paragraph : contents->paragraphs)
        for (const HlpRun &run : paragraph.runs) {
            uint32_t offset = 0;
            if (run.jump && help.LookUpHash(run.hash, &offset))
                reached.insert(help.TopicAt(offset)->title);
        }
    for (size_t t = 1; t < source.topics.size(); t++)
        EXPECT_TRUE(reached.count(source.topics[t].title)) << source.topics[t].title << " is not reachable";
}

TEST_F(BuiltHelp, MapNumbersOpenTheirTopicsThroughTheContextMap)
{
    ASSERT_FALSE(source.topics.front().maps.empty()) << "the contents topic has a map number";
    int maps = 0;
    for (const Topic &topic : source.topics)
        for (uint32_t number : topic.maps) {
            uint32_t offset = 0;
            ASSERT_TRUE(help.LookUpMap(number, &offset)) << "map number " << number;
            uint32_t relative = 1;
            const HlpTopic *shown = help.TopicAt(offset, &relative);
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(relative, 0u);
            EXPECT_EQ(shown->title, topic.title) << "map number " << number;
            maps++;
        }
    EXPECT_GE(maps, (int)source.topics.size());
    uint32_t offset = 0;
    EXPECT_FALSE(help.LookUpMap(999999, &offset));
}

// The text runs over several 4 KiB topic blocks; a topic whose records continue in the next block
// still reads whole (its text was compared in full above).
TEST_F(BuiltHelp, TopicsCrossTopicBlockBoundaries)
{
    EXPECT_GE(help.TopicBlocks(), 3u);
    int crossing = 0;
    for (const HlpTopic &topic : help.Topics())
        if (topic.lastBlock > topic.firstBlock)
            crossing++;
    EXPECT_GE(crossing, 1);
}

// ---- What the help quotes and states, against the program ----------------------------------

class HelpAgreesWithTheProgram : public SplitFixture {
protected:
    HelpAgreesWithTheProgram()
    {
        std::string problem;
        loaded = help.Load(ReadWholeFile(BuiltHelpFile()), &problem);
        EXPECT_TRUE(loaded) << problem;
        SourceError error = {0, std::string()};
        EXPECT_TRUE(ParseHelpSource(ReadSource(), &source, &error)) << error.reason;
    }

    const HlpTopic *Shown(const std::string &context)
    {
        uint32_t offset = 0;
        if (!loaded || !help.LookUpContext(context, &offset))
            return nullptr;
        return help.TopicAt(offset);
    }

    // The whole text of a topic as the viewer shows it.
    std::string TextOf(const std::string &context)
    {
        const HlpTopic *topic = Shown(context);
        std::string text;
        if (topic != nullptr)
            for (const HlpParagraph &paragraph : topic->paragraphs)
                text += paragraph.text + "\n";
        return text;
    }

    // The example blocks of a topic (runs of lines in the fixed font), lines without trailing spaces.
    std::vector<std::vector<std::string>> Examples(const std::string &context)
    {
        std::vector<std::vector<std::string>> blocks;
        const HlpTopic *topic = Shown(context);
        bool inBlock = false;
        if (topic != nullptr)
            for (const HlpParagraph &paragraph : topic->paragraphs) {
                bool fixed = !paragraph.runs.empty() && help.Fonts()[paragraph.runs[0].font].family == 1;
                if (!fixed) {
                    inBlock = false;
                    continue;
                }
                if (!inBlock)
                    blocks.push_back({});
                inBlock = true;
                std::string line = paragraph.text;
                while (!line.empty() && line.back() == ' ')
                    line.pop_back();
                blocks.back().push_back(line);
            }
        return blocks;
    }


    bool loaded = false;
    HlpFile help;
    HelpDocument source;
};

TEST_F(HelpAgreesWithTheProgram, TheBatchFileExampleIsWhatTheProgramWrites)
{
    Select("data.zip");
    AppState.PieceCount = 3;
    ASSERT_EQ(WriteBatchFile(), 1);
    std::vector<std::vector<std::string>> examples = Examples("batch_file");
    ASSERT_GE(examples.size(), 2u);
    EXPECT_EQ(examples[0], CrLfLines(ReadText(folder / "data.bat")));
    // The rejoin by hand is the batch file's COPY line without /Y.
    ASSERT_EQ(examples[1].size(), 1u);
    EXPECT_EQ(examples[1][0], "COPY /B data.001 + data.002 + data.003 data.zip");
}

TEST_F(HelpAgreesWithTheProgram, TheLogExampleIsWhatTheProgramWritesButForTheTimes)
{
    MakeSource("data.zip", 3500000);
    AppState.SplitSize = 1457000;
    ASSERT_EQ(SplitFile(), 1);
    SetCheck(AppState.BatchFileCheck, 1);
    CopyText(AppState.CurrentDirectory, sizeof AppState.CurrentDirectory, "C:\\Work");
    ASSERT_EQ(WriteLogFile(), 1);

    std::vector<std::string> written = CrLfLines(ReadText(folder / "data.log"));
    std::vector<std::vector<std::string>> examples = Examples("log_file");
    ASSERT_EQ(examples.size(), 1u);
    std::vector<std::string> quoted = examples[0];
    ASSERT_EQ(quoted.size(), written.size());
    // A piece line ends in its time, month-day-year and hour:minute:second; the help's example
    // shows times of its own.
    const std::string timeForm = "00-00-0000  00:00:00";
    auto timeShape = [&](const std::string &line) {
        std::string shape = line.size() < timeForm.size() ? line : line.substr(line.size() - timeForm.size());
        for (char &c : shape)
            if (c >= '0' && c <= '9')
                c = '0';
        return shape;
    };
    for (size_t i = 0; i < written.size(); i++) {
        if (written[i].find(" bytes   ") != std::string::npos) {
            ASSERT_EQ(timeShape(written[i]), timeForm) << written[i];
            ASSERT_EQ(timeShape(quoted[i]), timeForm) << quoted[i];
            written[i].replace(written[i].size() - timeForm.size(), timeForm.size(),
                               quoted[i].substr(quoted[i].size() - timeForm.size()));
        }
        EXPECT_EQ(quoted[i], written[i]) << "line " << i + 1;
    }
}

TEST_F(HelpAgreesWithTheProgram, TheMissingHelpMessageIsTheProgramsOwn)
{
    CopyText(AppState.StartDirectory, sizeof AppState.StartDirectory, folder.Path().c_str());
    boxes->Answer(IDOK);
    ShowHelp();
    ASSERT_EQ(boxes->Boxes().size(), 1u) << "no message about the missing help file";
    std::vector<std::vector<std::string>> examples = Examples("help_about");
    ASSERT_EQ(examples.size(), 1u);
    std::string quoted;
    for (const std::string &line : examples[0])
        quoted += (quoted.empty() ? "" : "\n") + line;
    EXPECT_EQ(quoted, boxes->Boxes()[0].text);
}

// The characters the help lists are exactly those that make the Batch File option unavailable,
// among all printable ASCII characters.
TEST_F(HelpAgreesWithTheProgram, TheRefusedCharactersAreExactlyThoseTheProgramRefuses)
{
    std::string listed;
    for (const std::vector<std::string> &block : Examples("limits"))
        if (block.size() == 1 && block[0].compare(0, 1, "`") == 0)
            for (size_t i = 0; i < block[0].size(); i += 2) {
                EXPECT_TRUE(i + 1 == block[0].size() || block[0][i + 1] == ' ') << "one character, then a space";
                listed += block[0][i];
            }
    ASSERT_FALSE(listed.empty()) << "no list of characters in the limits topic";
    EXPECT_NE(TextOf("limits").find("a space"), std::string::npos) << "the space is named in words";
    listed += ' ';

    for (char c = 0x20; c < 0x7F; c++) {
        Select(std::string("ab") + c + "cd.zip");
        UpdateBatchOption();
        bool refused = !IsWindowEnabled(AppState.BatchFileCheck);
        EXPECT_EQ(refused, listed.find(c) != std::string::npos) << "character '" << c << "'";
    }
}

TEST_F(HelpAgreesWithTheProgram, TheNumbersAndNamesAreTheProgramsOwn)
{
    std::string sizes = TextOf("piece_size");
    EXPECT_NE(sizes.find("2.88 MB: " + std::to_string(Preset288Size) + " bytes"), std::string::npos) << sizes;
    EXPECT_NE(sizes.find("1.44 MB: " + std::to_string(Preset144Size) + " bytes"), std::string::npos) << sizes;
    EXPECT_NE(sizes.find("720 KB: " + std::to_string(Preset720Size) + " bytes"), std::string::npos) << sizes;

    std::string limits = TextOf("limits");
    EXPECT_NE(limits.find(std::to_string(MinPieces) + " to " + std::to_string(MaxPieces) + " pieces"),
              std::string::npos);
    EXPECT_NE(limits.find("2147483648 bytes"), std::string::npos);

    std::vector<std::vector<std::string>> key = Examples("settings");
    ASSERT_FALSE(key.empty());
    EXPECT_EQ(key[0], std::vector<std::string>{"HKEY_CURRENT_USER\\Software\\Drelwick\\Morvane"});
}
