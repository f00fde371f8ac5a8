// The help compiler as the build runs it: a source error stops it with "file:line: reason", a
// non-zero exit and no output file; the same source always gives the same bytes; a large source
// (multi-page context and title trees, records across block boundaries) reads back whole.
#include "HelpTestPaths.h"
#include "HlpReader.h"

#include "e2e/RunningProgram.h"
#include "support/Files.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

struct CompilerRun {
    int exitCode;
    std::string output; // what it printed, without the final line end
};

static CompilerRun Compile(const std::string &source, const std::string &output)
{
    CompilerRun run = {-1, std::string()};
    run.output = RunAndCapture("\"" + HelpCompiler() + "\" \"" + source + "\" \"" + output + "\"", &run.exitCode);
    while (!run.output.empty() && (run.output.back() == '\n' || run.output.back() == '\r'))
        run.output.pop_back();
    return run;
}

static bool WriteText(const std::string &path, const std::string &text)
{
    return WriteBytes(path, Bytes(text.begin(), text.end()));
}

// ---- Source errors -------------------------------------------------------------------------

struct SourceCase {
    const char *name;
    std::string source;
    int line;
    std::string reason;
};

static std::vector<SourceCase> SourceCases()
{
    const std::string help = ".help Test Help\n";
    return {
        {"UnknownJumpTarget", help + ".topic a First\nSee [[b]].\n", 3, "jump to unknown topic 'b'"},
        {"UnknownJumpTargetWithText", help + ".topic a First\n\nSee\n[[missing|there]].\n", 5,
         "jump to unknown topic 'missing'"},
        {"IllegalContextName", help + ".topic a-b First\n", 2,
         "'a-b' is not a legal context name (1 to 255 of A-Z a-z 0-9 . _)"},
        {"ContextNameTooLong", help + ".topic " + std::string(256, 'x') + " First\n", 2,
         "'" + std::string(256, 'x') + "' is not a legal context name (1 to 255 of A-Z a-z 0-9 . _)"},
        {"IllegalJumpTarget", help + ".topic a First\nSee [[a b|here]].\n", 3,
         "jump target 'a b' is not a legal context name (1 to 255 of A-Z a-z 0-9 . _)"},
        {"TextBeforeTheFirstTopic", help + "Welcome.\n.topic a First\n", 2, "text before the first topic"},
        {"DuplicateContext", help + ".topic intro First\n.topic Intro Second\n", 3,
         "context 'Intro' is already used by the topic at line 2"},
        {"ContextsWithOneHash", help + ".topic hzylgvand First\n.topic grxpqhmjz Second\n", 3,
         "context 'grxpqhmjz' has the same hash as 'hzylgvand' (line 2): rename one"},
        {"HelpTitleTooLongForTheCaption", ".help " + std::string(51, 'T') + "\n.topic a First\n", 1,
         "the help title has 51 characters; the viewer's caption holds at most 50"},
        {"TopicTitleTooLong", help + ".topic a " + std::string(256, 'T') + "\n", 2,
         "the title of topic 'a' has 256 characters; at most 255 fit"},
        {"CharacterOutsideTheCodePage", help + ".topic a First\nA snowman \xE2\x98\x83 here.\n", 3,
         "character U+2603 is not in the Windows-1252 code page of the help file"},
        {"TabCharacter", help + ".topic a First\n\tIndented.\n", 3,
         "control character U+0009 cannot be shown in a help page"},
        {"InvalidUtf8", help + ".topic a First\nLatin-1 \xE9t\xE9\n", 3, "the text is not valid UTF-8"},
        {"ParagraphTooLongForTheFormat", help + ".topic a First\n" + std::string(40000, 'x') + "\n", 3,
         "the paragraph holds 40003 bytes of text; at most 32767 fit"},
        {"BoldNotClosed", help + ".topic a First\nSome **bold\ntext.**\n", 3, "bold run not closed on this line"},
        {"JumpNotClosed", help + ".topic a First\nSee [[a|here\n", 3, "'[[' without ']]' on the same line"},
        {"JumpInsideBold", help + ".topic a First\n**See [[a]]**\n", 3, "a jump cannot start inside a bold run"},
        {"UnknownDirective", help + ".topic a First\n.colour red\n", 3, "unknown directive '.colour'"},
        {"MapOutsideATopic", help + ".map 1\n.topic a First\n", 2, "'.map' outside a topic"},
        {"MapNotANumber", help + ".topic a First\n.map one\n", 3,
         "map number 'one' is not a whole number from 0 to 4294967295"},
        {"MapTooLarge", help + ".topic a First\n.map 4294967296\n", 3,
         "map number '4294967296' is not a whole number from 0 to 4294967295"},
        {"DuplicateMapNumber", help + ".topic a First\n.map 7\n.topic b Second\n.map 7\n", 5,
         "map number 7 is already given to topic 'a'"},
        {"TopicWithoutTitle", help + ".topic a\n", 2, "topic 'a' has no title"},
        {"NoHelpTitle", ".topic a First\nText.\n", 1, "the source gives no help title ('.help')"},
        {"NoTopic", help + "# only a comment\n", 1, "the source has no topic ('.topic')"},
        {"HelpTitleAfterTheFirstTopic", ".topic a First\n.help Late\n", 2,
         "'.help' must come before the first topic"},
    };
}

// Names the case in test listings (instead of its bytes).
static void PrintTo(const SourceCase &c, std::ostream *out) { *out << c.name; }

class SourceError : public ::testing::TestWithParam<SourceCase> {
protected:
    TempFolder folder;
};

TEST_P(SourceError, StopsWithFileLineAndReasonAndWritesNothing)
{
    const SourceCase &c = GetParam();
    std::string source = folder / "help.hps";
    std::string output = folder / "help.hlp";
    ASSERT_TRUE(WriteText(source, c.source));
    CompilerRun run = Compile(source, output);
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, source + ":" + std::to_string(c.line) + ": " + c.reason);
    EXPECT_FALSE(Exists(output));
}

INSTANTIATE_TEST_SUITE_P(Compiler, SourceError, ::testing::ValuesIn(SourceCases()),
                         [](const ::testing::TestParamInfo<SourceCase> &info) { return std::string(info.param.name); });

// ---- Runs that succeed, and the command line -----------------------------------------------

class Compiling : public ::testing::Test {
protected:
    TempFolder folder;
};

TEST_F(Compiling, AMissingSourceOrAWrongCommandLineStopsWithoutOutput)
{
    std::string output = folder / "out.hlp";
    CompilerRun run = Compile(folder / "absent.hps", output);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.output, folder / "absent.hps" + ": cannot be read");
    EXPECT_FALSE(Exists(output));

    int code = 0;
    std::string usage = RunAndCapture("\"" + HelpCompiler() + "\" only-one-argument", &code);
    EXPECT_EQ(code, 2);
    EXPECT_EQ(usage.compare(0, 6, "usage:"), 0) << usage;
}

// The build's own output: compiling the help source again, with LF or CR LF line ends, gives
// exactly the bytes of the built Morvane.hlp (no time stamp, nothing left to chance).
TEST_F(Compiling, TheSameSourceGivesTheSameBytes)
{
    Bytes built = ReadBytes(BuiltHelpFile());
    ASSERT_FALSE(built.empty());
    ASSERT_EQ(Compile(HelpSource(), folder / "first.hlp").exitCode, 0);
    ASSERT_EQ(Compile(HelpSource(), folder / "second.hlp").exitCode, 0);
    EXPECT_TRUE(ReadBytes(folder / "first.hlp") == built);
    EXPECT_TRUE(ReadBytes(folder / "second.hlp") == built);

    Bytes source = ReadBytes(HelpSource());
    Bytes crlf;
    for (uint8_t byte : source) {
        if (byte == '\n' && (crlf.empty() || crlf.back() != '\r'))
            crlf.push_back('\r');
        crlf.push_back(byte);
    }
    ASSERT_TRUE(WriteBytes(folder / "crlf.hps", crlf));
    ASSERT_EQ(Compile(folder / "crlf.hps", folder / "crlf.hlp").exitCode, 0);
    EXPECT_TRUE(ReadBytes(folder / "crlf.hlp") == built);
}

// ---- A large generated source --------------------------------------------------------------

static std::string Context(int n)
{
    char name[16];
    snprintf(name, sizeof name, "t%04d", n);
    return name;
}

// Deterministic paragraph text of a given length.
static std::string Filler(int seed, size_t length)
{
    static const char *const words[] = {"split", "piece", "folder", "batch", "rejoin", "floppy", "bytes", "log"};
    std::string text;
    for (int i = 0; text.size() < length; i++)
        text += std::string(words[(seed + i * 7) % 8]) + " ";
    text.resize(length);
    if (text.back() == ' ')
        text.back() = '.';
    return text;
}

struct Generated {
    std::string source;
    std::vector<std::vector<std::string>> paragraphs; // the text each topic shows after its heading
};

// 600 topics (more than one leaf of |CONTEXT and |TTLBTREE), paragraphs of many lengths (so that
// record headers fall across block boundaries), and one paragraph of 10,000 characters.
static Generated MakeLargeSource(int topics)
{
    Generated g;
    g.source = ".help " + std::string(50, 'L') + "\n";
    for (int n = 0; n < topics; n++) {
        g.source += ".topic " + Context(n) + " Topic number " + std::to_string(n) + "\n";
        g.source += ".map " + std::to_string(1000 + n) + "\n";
        std::vector<std::string> shown;
        int next = (n + 1) % topics;
        g.source += "Go on to [[" + Context(next) + "]] or back to [[" + Context(0) + "|the start]].\n\n";
        shown.push_back("Go on to Topic number " + std::to_string(next) + " or back to the start.");
        size_t length = n == 7 ? 10000 : (size_t)((n * 37) % 290 + 1);
        std::string text = Filler(n, length);
        g.source += text + "\n\n";
        shown.push_back(text);
        g.paragraphs.push_back(shown);
    }
    return g;
}

TEST_F(Compiling, ALargeSourceReadsBackWhole)
{
    const int topics = 600;
    Generated g = MakeLargeSource(topics);
    ASSERT_TRUE(WriteText(folder / "large.hps", g.source));
    CompilerRun run = Compile(folder / "large.hps", folder / "large.hlp");
    ASSERT_EQ(run.exitCode, 0) << run.output;

    HlpFile help;
    std::string problem;
    ASSERT_TRUE(help.Load(ReadBytes(folder / "large.hlp"), &problem)) << problem;
    EXPECT_EQ(help.Caption(), std::string(50, 'L')) << "a caption of 50 characters fits";
    EXPECT_GT(help.ContextTreePages(), 2) << "leaves and an index page";
    EXPECT_GE(help.RecordHeadersAcrossBlocks(), 1);
    ASSERT_EQ(help.Topics().size(), (size_t)topics);

    for (int n = 0; n < topics; n++) {
        SCOPED_TRACE("topic " + Context(n));
        uint32_t offset = 0, mapped = 0, relative = 1;
        ASSERT_TRUE(help.LookUpContext(Context(n), &offset));
        ASSERT_TRUE(help.LookUpMap(1000 + n, &mapped));
        EXPECT_EQ(mapped, offset);
        const HlpTopic *topic = help.TopicAt(offset, &relative);
        ASSERT_NE(topic, nullptr);
        EXPECT_EQ(relative, 0u);
        std::string title = "Topic number " + std::to_string(n);
        EXPECT_EQ(topic->title, title);
        std::string listed;
        EXPECT_TRUE(help.LookUpTitle(offset, &listed));
        EXPECT_EQ(listed, title);

        ASSERT_EQ(topic->paragraphs.size(), 3u);
        EXPECT_EQ(topic->paragraphs[1].text, g.paragraphs[n][0]);
        EXPECT_EQ(topic->paragraphs[2].text, g.paragraphs[n][1]);
        if (n == 7) {
            EXPECT_GE(topic->lastBlock - topic->firstBlock, 2u) << "10,000 characters span three blocks";
        }

        std::vector<const HlpRun *> jumps;
        for (const HlpRun &run : topic->paragraphs[1].runs)
            if (run.jump)
                jumps.push_back(&run);
        ASSERT_EQ(jumps.size(), 2u);
        uint32_t forward = 0, back = 0;
        ASSERT_TRUE(help.LookUpHash(jumps[0]->hash, &forward));
        ASSERT_TRUE(help.LookUpHash(jumps[1]->hash, &back));
        EXPECT_EQ(help.TopicAt(forward)->title, "Topic number " + std::to_string((n + 1) % topics));
        EXPECT_EQ(help.TopicAt(back)->title, "Topic number 0");
    }
}
