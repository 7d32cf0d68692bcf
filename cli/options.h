// The command line and the jobs file speak the same options: --name value, or "name": value.
#pragma once
#include <string>
#include <vector>

#include "json_object.h"
#include "output_place.h"
#include "render_job.h"
#include "shard.h"

// Sets one option of the job. Relative paths are taken against baseDir (empty: as given).
// False with a message naming the option, the value and what was expected.
// bNamedByFile: the value comes from a jobs file, not from the user's command line.
bool ApplyOption(RenderJob& job, const std::string& name, const std::wstring& value, const std::wstring& baseDir,
                 std::wstring* pError, bool bNamedByFile);

// Applies name/value pairs in the one order scenes are applied in (SortIntoApplyOrder),
// whatever order they came in.
bool ApplyOptions(RenderJob& job, const std::vector<JsonMember>& options,
                  const std::wstring& baseDir, std::wstring* pError, bool bNamedByFile);

struct CommandLine {
    RenderJob job;                    // the one picture the command line describes
    RenderJob sceneBase;              // the start scene with the command line's --scene, if any
    std::vector<JsonMember> options;  // the command line's other options, as given
    std::wstring jobsFile;
    bool bHelp = false;
    bool bVersion = false;
    bool bTimings = false;        // print where each picture's time went
    bool bResume = false;         // keep the pictures already complete
    Shard shard;                  // --shard: this run's share of the jobs
    OutputRoot outputRoot;        // --output-root: the folder every picture is written below
};

bool ParseCommandLine(const std::vector<std::wstring>& args, CommandLine* pOut, std::wstring* pError);

// A jobs line's picture. What decides a value, first to last: the line's own values, the
// command line's values, the line's scene, the command line's scene, the start scene. The
// line names its own output.
bool BuildLineJob(const CommandLine& cmd, const std::vector<JsonMember>& line, const std::wstring& baseDir,
                  RenderJob* pJob, std::wstring* pError);

// Is `path` an output name we can write (PNG or JPEG by its extension)?
bool IsJpegName(const std::wstring& path);
bool IsSupportedOutputName(const std::wstring& path);
bool IsHtmlName(const std::wstring& path);


std::wstring HelpText();
