// The command line's options and the jobs file's lines: values, ranges, the messages that
// name what was wrong, templates applied before single values.
#include <gtest/gtest.h>

#include "idle_options.h"
#include "json_object.h"
#include "options.h"
#include "arrangements.h"
#include "light_kinds.h"
#include "shape_kinds.h"
#include "shapes.h"

namespace {

bool Parse(std::vector<std::wstring> args, CommandLine* pOut, std::wstring* pError)
{
    return ParseCommandLine(args, pOut, pError);
}

} // namespace

TEST(RenderOptions, ValuesWithinTheirRangesAreTakenAndOthersNamed)
{
    struct Case {
        std::vector<std::wstring> args;
        bool ok;
        const wchar_t* messagePart;  // for refusals
    };
    const Case cases[] = {
        {{L"--width", L"1"}, true, nullptr},
        {{L"--width", L"300"}, true, nullptr},
        {{L"--width", L"301"}, false, L"--width \"301\": expected a whole number from 1 to 300"},
        {{L"--rotation2", L"0"}, false, L"from 1 to 179"},
        {{L"--zoom=1200"}, true, nullptr},
        {{L"--ambient", L"-1"}, false, L"from 0 to 200"},
        {{L"--distance", L"2e2"}, false, L"whole number"},
        {{L"--front-colour", L"#12AB9z"}, false, L"#RRGGBB"},
        {{L"--front-colour", L"#12ab9f"}, true, nullptr},
        {{L"--background", L"Transparent"}, true, nullptr},
        {{L"--background", L"red"}, false, L"or transparent"},
        {{L"-o", L"box.bmp"}, false, L".png, .jpg or .jpeg"},
        {{L"-o", L"Box.JPEG"}, true, nullptr},
        {{L"--size", L"0x100"}, false, L"at least 1"},
        {{L"--size", L"1200x"}, false, L"WIDTHxHEIGHT"},
        {{L"--quality", L"0"}, false, L"from 1 to 100"},
        {{L"--samples", L"17"}, false, L"from 0 to 16"},
        {{L"--supersample", L"5"}, false, L"from 1 to 4"},
        {{L"--colour", L"#000000"}, false, L"unknown option --colour"},
        {{L"box.png"}, false, L"unexpected argument"},
        {{L"--width"}, false, L"needs a value"},
        {{L"--template", L"Sideways"}, false, L"\"3-sided Cube, Left Rotation\""},
        // Digits of other scripts are not numbers here (the system's iswdigit says they are).
        {{L"--dpi", L"\x0663"}, false, L"whole number"},
        {{L"--width", L"\xFF11\xFF10"}, false, L"whole number"},
        {{L"--front-colour", L"#\xFF11\xFF10" L"AB9F"}, false, L"#RRGGBB"},
        {{L"--shard", L"1/\x0662", L"--jobs", L"j.jsonl"}, false, L"K/N"},
        {{L"--shard", L"\xFF11/\xFF12", L"--jobs", L"j.jsonl"}, false, L"K/N"},
    };
    for (const Case& c : cases) {
        CommandLine cmd;
        std::wstring error;
        bool ok = Parse(c.args, &cmd, &error);
        EXPECT_EQ(ok, c.ok) << c.args[0] << L" " << error;
        if (!c.ok && c.messagePart) {
            EXPECT_NE(error.find(c.messagePart), std::wstring::npos) << error;
        }
    }
}

TEST(RenderOptions, EveryValueLandsInItsField)
{
    CommandLine cmd;
    std::wstring error;
    ASSERT_TRUE(Parse({L"--front", L"a.png", L"--bottom-colour", L"#102030", L"--depth", L"55", L"--size", L"1000x800",
                       L"--dpi", L"300", L"--quality", L"70", L"--samples", L"0", L"--background", L"#FF8000",
                       L"--supersample", L"2", L"-o", L"out.jpg", L"--jobs", L"j.jsonl"},
                      &cmd, &error)) << error;
    const RenderJob& job = cmd.job;
    EXPECT_EQ(job.facePaths[SideFront], L"a.png");
    EXPECT_EQ(job.faceColours[SideBottom], RGB(0x10, 0x20, 0x30));
    EXPECT_EQ(job.faceColours[SideTop], 0x00FFFFFFu);  // untouched: the start scene
    EXPECT_EQ(job.values[kValueDepth], 55);
    EXPECT_EQ(job.values[kValueWidth], 80);
    EXPECT_EQ(job.width, 1000u);
    EXPECT_EQ(job.height, 800u);
    EXPECT_EQ(job.dpi, 300);
    EXPECT_EQ(job.quality, 70);
    EXPECT_EQ(job.samples, 0);
    EXPECT_EQ(job.supersample, 2);
    EXPECT_EQ(job.background, 0xFFFF8000u);
    EXPECT_FALSE(job.bTransparent);
    EXPECT_EQ(job.output, L"out.jpg");
    EXPECT_EQ(cmd.jobsFile, L"j.jsonl");
}

TEST(RenderOptions, ATemplateComesFirstAndSingleValuesOverrideIt)
{
    for (bool templateFirst : {true, false}) {
        std::vector<std::wstring> args = {L"--rotation1", L"10"};
        std::vector<std::wstring> tmpl = {L"--template", L"3-sided cube, left rotation"};  // any case
        args.insert(templateFirst ? args.begin() : args.end(), tmpl.begin(), tmpl.end());
        CommandLine cmd;
        std::wstring error;
        ASSERT_TRUE(Parse(args, &cmd, &error)) << error;
        EXPECT_EQ(cmd.job.values[kValueRotation1], 10);   // the single value wins
        EXPECT_EQ(cmd.job.values[kValueRotation2], 110);  // the rest is the template's
        EXPECT_EQ(cmd.job.values[kValueDepth], 80);
    }
}

TEST(JobsFile, LinesAreFlatJsonObjects)
{
    std::vector<JsonMember> pairs;
    std::wstring error;
    ASSERT_TRUE(ParseJsonObject(R"({"front": "art\\en \u043a.png", "width": 120, "o":"out/\ud83d\udce6.png" })", &pairs,
                              &error)) << error;
    ASSERT_EQ(pairs.size(), 3u);
    EXPECT_EQ(pairs[0].name, "front");
    EXPECT_EQ(pairs[0].value, L"art\\en \x043A.png");
    EXPECT_EQ(pairs[1].value, L"120");
    EXPECT_FALSE(pairs[1].bString);
    EXPECT_EQ(pairs[2].value, L"out/\xD83D\xDCE6.png");
    EXPECT_TRUE(ParseJsonObject("{}", &pairs, &error));
    EXPECT_TRUE(pairs.empty());

    for (const char* bad : {"", "[1]", "{\"a\": 1", "{\"a\" 1}", "{a: 1}", "{\"a\": {\"b\": 1}}", "{\"a\": 1} x",
                            "{\"a\": \"\\q\"}", "{\"a\": null}"}) {
        EXPECT_FALSE(ParseJsonObject(bad, &pairs, &error)) << bad;
        EXPECT_NE(error.find(L"column"), std::wstring::npos) << error;
    }

    // Relative paths count from the jobs file's folder; absolute ones stay.
    RenderJob job;
    ASSERT_TRUE(ApplyOptions(job, {{"front", L"art/a.png"}, {"back", L"C:\\b.png"}, {"o", L"x.png"}}, L"Z:\\jobs",
                             &error, true)) << error;
    EXPECT_EQ(job.facePaths[SideFront], L"Z:\\jobs\\art\\a.png");
    EXPECT_EQ(job.facePaths[SideBack], L"C:\\b.png");
    EXPECT_EQ(job.output, L"Z:\\jobs\\x.png");
}

TEST(RenderOptions, BookValuesAreTakenByNameAndUnitAndBadOnesAreRefused)
{
    struct Case {
        std::vector<std::wstring> args;
        const wchar_t* refusal;  // null: taken
    };
    const Case cases[] = {
        {{L"--trim", L"0x9in"}, L"as 6x9in or 152x229mm"},
        {{L"--trim", L"0"}, L"as 6x9in or 152x229mm"},
        {{L"--trim", L"6x9"}, L"as 6x9in or 152x229mm"},
        {{L"--trim", L"6x9cm"}, L"as 6x9in or 152x229mm"},
        {{L"--trim", L"6x90in"}, L"from 0.5 to 20 in"},
        {{L"--pages", L"0"}, L"from 2 to 2000"},
        {{L"--pages", L"100000"}, L"from 2 to 2000"},
        {{L"--paper", L"glossy"}, L"one of: white cream colour"},
        {{L"--shape", L"cd-case"}, L"one of: box paperback hardcover dvd-case"},
        {{L"--shape", L"1"}, L"one of:"},
        {{L"--bleed", L"0.125"}, L"with a unit"},
        {{L"--bleed", L"2in"}, L"from 0 to 1000"},
        {{L"--bleed", L"-3mm"}, L"with a unit"},
    };
    for (const Case& c : cases) {
        CommandLine cmd;
        std::wstring error;
        EXPECT_FALSE(ParseCommandLine(c.args, &cmd, &error)) << c.args[0] << L" " << c.args[1];
        EXPECT_NE(error.find(c.refusal), std::wstring::npos) << error;
    }

    CommandLine cmd;
    std::wstring error;
    ASSERT_TRUE(ParseCommandLine({L"--shape", L"Hardcover", L"--trim", L"152x229mm", L"--paper", L"cream", L"--pages",
                                  L"2000", L"--bleed", L"3.175mm", L"-o", L"book.png"},
                                 &cmd, &error))
        << error;
    const int* v = cmd.job.values;
    EXPECT_EQ(v[kValueShape], ShapeHardcover);
    EXPECT_EQ(v[kValueTrimWidth], 5984);
    EXPECT_EQ(v[kValueTrimHeight], 9016);
    EXPECT_EQ(v[kValuePaper], PaperCream);
    EXPECT_EQ(v[kValuePages], 2000);
    EXPECT_EQ(v[kValueBleed], 125);
    EXPECT_EQ(v[kValueTopLight], kTopLightForBooks) << "a book chosen without a light from above gets one";
    ASSERT_TRUE(ParseCommandLine({L"--top-light", L"0", L"--shape", L"dvd-case", L"--top-light", L"0", L"-o", L"b.png"},
                                 &cmd, &error));
    EXPECT_EQ(cmd.job.values[kValueTopLight], 0) << "given after the shape, the light as given";
}

TEST(RenderOptions, ASetIsMadeByCoversOrByListsAndEachProductKeepsItsOwn)
{
    CommandLine cmd;
    std::wstring error;
    ASSERT_TRUE(ParseCommandLine({L"--shape", L"hardcover", L"--covers", L"a.png,b.png, c.png", L"--pages",
                                  L"320,280,410", L"--finish", L"gloss", L"--arrange", L"stack", L"-o", L"set.png"},
                                 &cmd, &error))
        << error;
    const RenderJob& job = cmd.job;
    ASSERT_EQ(ProductCount(job), 3);
    EXPECT_EQ(job.facePaths[SideCover], L"a.png");
    EXPECT_EQ(job.products[1].facePaths[SideCover], L"c.png") << "spaces round a comma are not the name's";
    EXPECT_EQ(job.values[kValuePages], 320);
    EXPECT_EQ(job.products[0].values[kValuePages], 280);
    EXPECT_EQ(job.products[1].values[kValuePages], 410);
    for (const ProductDescription& p : job.products) {
        EXPECT_EQ(p.values[kValueShape], ShapeHardcover) << "what came before the set is every product's";
        EXPECT_EQ(p.values[kValueFinish], FinishGloss) << "one value for all";
    }
    EXPECT_EQ(job.values[kValueArrange], ArrangeStack);

    // A list must match the set; nothing of a refused option is kept.
    const std::vector<std::vector<std::wstring>> refused = {
        {L"--covers", L"a.png,b.png", L"--pages", L"1,2,3"},
        {L"--covers", L"a.png,,b.png"},
        {L"--pages", L"300,20000"},
        {L"--front-colour", L"#FF0000,#00FF00,#0000FF,#FF0000,#FF0000,#FF0000,#FF0000,#FF0000,#FF0000,#FF0000,#FF0000,"
                            L"#FF0000,#FF0000"},
        {L"--rotation1", L"10,20"},
    };
    for (const auto& args : refused) {
        CommandLine bad;
        EXPECT_FALSE(ParseCommandLine(args, &bad, &error)) << args.back();
    }
}

TEST(JobsFile, AProductsListGivesEachProductItsOwnOverTheFirsts)
{
    std::vector<JsonMember> line;
    std::wstring error;
    ASSERT_TRUE(ParseJsonObject(R"({"shape": "paperback", "pages": 200, "o": "s.png",
        "products": [{"front-colour": "#FF0000"}, {"pages": 500, "shape": "hardcover"}, {"cover": "x.png"}]})",
                                &line, &error))
        << error;
    CommandLine cmd;
    RenderJob job;
    ASSERT_TRUE(BuildLineJob(cmd, line, L"C:\\art", &job, &error)) << error;
    ASSERT_EQ(ProductCount(job), 3);
    EXPECT_EQ(job.faceColours[SideFront], RGB(255, 0, 0));
    EXPECT_EQ(job.products[0].values[kValuePages], 500);
    EXPECT_EQ(job.products[0].values[kValueShape], ShapeHardcover);
    EXPECT_EQ(job.products[1].values[kValuePages], 200);
    EXPECT_EQ(job.products[1].facePaths[SideCover], L"C:\\art\\x.png");
    EXPECT_EQ(job.products[1].faceColours[SideFront], RGB(255, 255, 255)) << "the first's own colour is its own";

    ASSERT_TRUE(ParseJsonObject(R"({"o": "s.png", "products": [{}, {"rotation1": 30}]})", &line, &error));
    EXPECT_FALSE(BuildLineJob(cmd, line, L"", &job, &error));
    EXPECT_NE(error.find(L"outside \"products\""), std::wstring::npos) << error;
}

TEST(RenderOptions, ASetsValuesGivenForOneProductAreSaidToDoNothing)
{
    auto note = [](std::vector<std::wstring> args) {
        CommandLine cmd;
        std::wstring error;
        EXPECT_TRUE(ParseCommandLine(args, &cmd, &error)) << error;
        IdleOptions idle;
        idle.Add(cmd.job, cmd.options);
        return idle.Note();
    };
    EXPECT_NE(note({L"--shape", L"paperback", L"--gap", L"9", L"-o", L"a.png"}).find(L"--gap with a single product"),
              std::wstring::npos);
    EXPECT_EQ(note({L"--shape", L"paperback", L"--pages", L"100,200", L"--gap", L"9", L"-o", L"a.png"}), L"");
    EXPECT_NE(note({L"--pages", L"100,200", L"--place-x", L"30", L"-o", L"a.png"}).find(L"--place-x without --arrange free"),
              std::wstring::npos);
    // A book's value on a set of a box and a book is the book's.
    EXPECT_EQ(note({L"--shape", L"box,hardcover", L"--pages", L"400", L"-o", L"a.png"}), L"");
}
