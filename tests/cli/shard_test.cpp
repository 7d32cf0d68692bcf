// Which share of a jobs file a task renders: K/N as given, or the array job's own variables
// as Slurm, Kubernetes and AWS Batch set them.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>

#include "shard.h"

namespace {

struct Outcome {
    bool ok;
    unsigned index, count;
    std::wstring error;
};

Outcome ShareOf(const std::wstring& text, std::map<std::wstring, std::wstring> variables)
{
    Shard shard;
    std::wstring error;
    const bool ok = ParseShard(
        text,
        [&](const wchar_t* name, std::wstring* pValue) {
            auto found = variables.find(name);
            if (found == variables.end())
                return false;
            *pValue = found->second;
            return true;
        },
        &shard, &error);
    return {ok, shard.index, shard.count, error};
}

} // namespace

TEST(Shard, EachEngineTasksMapOntoEverySharePlainly)
{
    // Slurm numbers from the array's first index (here --array=1-4), in its steps.
    for (int id = 1; id <= 4; ++id) {
        Outcome o = ShareOf(L"auto", {{L"SLURM_ARRAY_TASK_ID", std::to_wstring(id)},
                                  {L"SLURM_ARRAY_TASK_MIN", L"1"},
                                  {L"SLURM_ARRAY_TASK_COUNT", L"4"}});
        EXPECT_TRUE(o.ok) << o.error;
        EXPECT_EQ(o.index, static_cast<unsigned>(id - 1));
        EXPECT_EQ(o.count, 4u);
    }
    Outcome stepped = ShareOf(L"auto", {{L"SLURM_ARRAY_TASK_ID", L"14"},
                                    {L"SLURM_ARRAY_TASK_MIN", L"10"},
                                    {L"SLURM_ARRAY_TASK_STEP", L"2"},
                                    {L"SLURM_ARRAY_TASK_COUNT", L"3"}});
    EXPECT_TRUE(stepped.ok && stepped.index == 2 && stepped.count == 3) << stepped.error;

    // Kubernetes and AWS Batch count from 0 and give no count: auto/N.
    Outcome k8s = ShareOf(L"auto/30", {{L"JOB_COMPLETION_INDEX", L"29"}});
    EXPECT_TRUE(k8s.ok && k8s.index == 29 && k8s.count == 30) << k8s.error;
    Outcome aws = ShareOf(L"auto/5", {{L"AWS_BATCH_JOB_ARRAY_INDEX", L"0"}});
    EXPECT_TRUE(aws.ok && aws.index == 0 && aws.count == 5) << aws.error;

    Outcome given = ShareOf(L"2/8", {{L"JOB_COMPLETION_INDEX", L"5"}});
    EXPECT_TRUE(given.ok && given.index == 1 && given.count == 8) << L"K/N wins over the environment";
}

TEST(Shard, AnythingElseIsRefusedNamingWhatWasWrong)
{
    struct Case {
        std::wstring text;
        std::map<std::wstring, std::wstring> variables;
        const wchar_t* messagePart;
    };
    const Case cases[] = {
        {L"auto", {}, L"SLURM_ARRAY_TASK_ID"},
        {L"auto", {}, L"JOB_COMPLETION_INDEX"},
        {L"auto/4", {}, L"AWS_BATCH_JOB_ARRAY_INDEX"},
        {L"auto", {{L"JOB_COMPLETION_INDEX", L"3"}}, L"auto/N"},
        {L"auto/4", {{L"JOB_COMPLETION_INDEX", L"4"}}, L"outside 0..3"},
        {L"auto/4", {{L"AWS_BATCH_JOB_ARRAY_INDEX", L"-1"}}, L"outside 0..3"},
        {L"auto/4", {{L"AWS_BATCH_JOB_ARRAY_INDEX", L"two"}}, L"not a whole number"},
        {L"auto", {{L"SLURM_ARRAY_TASK_ID", L"9"}, {L"SLURM_ARRAY_TASK_MIN", L"1"}, {L"SLURM_ARRAY_TASK_COUNT", L"4"}},
         L"outside 0..3"},
        {L"auto", {{L"SLURM_ARRAY_TASK_ID", L"3"}}, L"SLURM_ARRAY_TASK_MIN"},
        {L"auto/3", {{L"SLURM_ARRAY_TASK_ID", L"1"}, {L"SLURM_ARRAY_TASK_MIN", L"1"}, {L"SLURM_ARRAY_TASK_COUNT", L"4"}},
         L"4 tasks"},
        {L"auto/0", {{L"JOB_COMPLETION_INDEX", L"0"}}, L"auto/N"},
        {L"0/4", {}, L"K/N"},
        {L"5/4", {}, L"K/N"},
        {L"automatic", {}, L"K/N"},
        // A step of 0 or less is no step: never read as 1 (every task would take one share).
        {L"auto", {{L"SLURM_ARRAY_TASK_ID", L"3"}, {L"SLURM_ARRAY_TASK_MIN", L"1"}, {L"SLURM_ARRAY_TASK_COUNT", L"4"},
                   {L"SLURM_ARRAY_TASK_STEP", L"0"}}, L"SLURM_ARRAY_TASK_STEP is 0"},
        {L"auto", {{L"SLURM_ARRAY_TASK_ID", L"3"}, {L"SLURM_ARRAY_TASK_MIN", L"1"}, {L"SLURM_ARRAY_TASK_COUNT", L"4"},
                   {L"SLURM_ARRAY_TASK_STEP", L"-2"}}, L"SLURM_ARRAY_TASK_STEP is -2"},
    };
    for (const Case& c : cases) {
        Outcome o = ShareOf(c.text, c.variables);
        EXPECT_FALSE(o.ok) << c.text;
        EXPECT_NE(o.error.find(c.messagePart), std::wstring::npos) << c.text << L": " << o.error;
    }
}

TEST(Shard, AVariableLongerThanAnyBufferIsReadWhole)
{
    // 300 characters: once read as "not set", so that --shard auto/N said no engine ran it.
    const std::wstring value = L"7" + std::wstring(299, L' ');
    ASSERT_TRUE(::SetEnvironmentVariableW(L"ZELMORA_SHARD_TEST", value.c_str()));
    std::wstring read;
    EXPECT_TRUE(ProcessEnvironment(L"ZELMORA_SHARD_TEST", &read));
    EXPECT_EQ(read, value);
    ::SetEnvironmentVariableW(L"ZELMORA_SHARD_TEST", nullptr);
    EXPECT_FALSE(ProcessEnvironment(L"ZELMORA_SHARD_TEST", &read));
}
