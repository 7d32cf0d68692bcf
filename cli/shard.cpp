#include "shard.h"

#include <windows.h>

#include "scene_description.h"

namespace {

constexpr long long kMaxShards = 1000000;

const wchar_t kSlurmId[] = L"SLURM_ARRAY_TASK_ID";
const wchar_t kSlurmMin[] = L"SLURM_ARRAY_TASK_MIN";
const wchar_t kSlurmCount[] = L"SLURM_ARRAY_TASK_COUNT";
const wchar_t kSlurmStep[] = L"SLURM_ARRAY_TASK_STEP";
const wchar_t kKubernetesIndex[] = L"JOB_COMPLETION_INDEX";
const wchar_t kAwsBatchIndex[] = L"AWS_BATCH_JOB_ARRAY_INDEX";

const wchar_t kLookedFor[] =
    L"SLURM_ARRAY_TASK_ID (with _MIN and _COUNT), JOB_COMPLETION_INDEX (Kubernetes) or "
    L"AWS_BATCH_JOB_ARRAY_INDEX (AWS Batch)";

// A variable holding a whole number; false with the reason when it is set to anything else.
bool NumberVariable(const EnvironmentLookup& environment, const wchar_t* name, long long* pValue, bool* pSet,
                    std::wstring* pError)
{
    std::wstring text;
    *pSet = environment(name, &text);
    if (!*pSet)
        return true;
    if (!ParseWholeNumber(text, pValue)) {
        *pError = L"--shard auto: " + std::wstring(name) + L" is \"" + text + L"\", not a whole number";
        return false;
    }
    return true;
}

bool Place(const std::wstring& from, long long index, long long count, Shard* pShard, std::wstring* pError)
{
    if (count < 1 || count > kMaxShards || index < 0 || index >= count) {
        *pError = L"--shard auto: " + from + L" gives task " + std::to_wstring(index) + L" of " + std::to_wstring(count) +
                  L", outside 0.." + std::to_wstring(count - 1);
        return false;
    }
    pShard->index = static_cast<unsigned>(index);
    pShard->count = static_cast<unsigned>(count);
    return true;
}

bool ParseGiven(const std::wstring& text, Shard* pShard)
{
    const size_t slash = text.find(L'/');
    long long k = 0, n = 0;
    if (slash == std::wstring::npos || !ParseWholeNumber(text.substr(0, slash), &k) ||
        !ParseWholeNumber(text.substr(slash + 1), &n) || n < 1 || n > kMaxShards || k < 1 || k > n)
        return false;
    pShard->index = static_cast<unsigned>(k - 1);
    pShard->count = static_cast<unsigned>(n);
    return true;
}

// The engine's task index and count. countGiven: N of "auto/N", 0 when not given.
bool ParseAuto(long long countGiven, const EnvironmentLookup& environment, Shard* pShard, std::wstring* pError)
{
    long long id = 0, min = 0, count = 0, step = 1;
    bool bId = false, bMin = false, bCount = false, bStep = false;
    if (!NumberVariable(environment, kSlurmId, &id, &bId, pError))
        return false;
    if (bId) {
        // Slurm numbers an array's tasks from its first index (--array=1-8 or 0-7), in steps.
        if (!NumberVariable(environment, kSlurmMin, &min, &bMin, pError) ||
            !NumberVariable(environment, kSlurmCount, &count, &bCount, pError) ||
            !NumberVariable(environment, kSlurmStep, &step, &bStep, pError))
            return false;
        if (!bMin || (!bCount && !countGiven)) {
            *pError = L"--shard auto: SLURM_ARRAY_TASK_ID is set without SLURM_ARRAY_TASK_MIN and "
                      L"SLURM_ARRAY_TASK_COUNT";
            return false;
        }
        if (!bStep)
            step = 1;
        else if (step < 1) {
            *pError = L"--shard auto: SLURM_ARRAY_TASK_STEP is " + std::to_wstring(step) + L", not a step of 1 or more";
            return false;
        }
        if (countGiven && bCount && countGiven != count) {
            *pError = L"--shard auto/" + std::to_wstring(countGiven) + L": the Slurm array has " +
                      std::to_wstring(count) + L" tasks (SLURM_ARRAY_TASK_COUNT)";
            return false;
        }
        const long long total = countGiven ? countGiven : count;
        if ((id - min) % step != 0) {
            *pError = L"--shard auto: SLURM_ARRAY_TASK_ID " + std::to_wstring(id) + L" is not a step of " +
                      std::to_wstring(step) + L" from SLURM_ARRAY_TASK_MIN " + std::to_wstring(min);
            return false;
        }
        return Place(L"SLURM_ARRAY_TASK_ID " + std::to_wstring(id) + L" - SLURM_ARRAY_TASK_MIN " +
                         std::to_wstring(min),
                     (id - min) / step, total, pShard, pError);
    }
    for (const wchar_t* name : {kKubernetesIndex, kAwsBatchIndex}) {
        long long index = 0;
        bool bSet = false;
        if (!NumberVariable(environment, name, &index, &bSet, pError))
            return false;
        if (!bSet)
            continue;
        if (!countGiven) {
            *pError = L"--shard auto: " + std::wstring(name) + L" is set but the number of tasks is not: give "
                      L"--shard auto/N (N: the job's completions or array size)";
            return false;
        }
        return Place(std::wstring(name) + L" " + std::to_wstring(index), index, countGiven, pShard, pError);
    }
    *pError = std::wstring(L"--shard auto: not running as a task of an array job: none of ") + kLookedFor +
              L" is set (outside an array, give --shard K/N)";
    return false;
}

} // namespace

bool ProcessEnvironment(const wchar_t* name, std::wstring* pValue)
{
    // Read whole, however long: a long value is the user's to be told of, never "not set".
    std::wstring buffer(256, L'\0');
    for (;;) {
        const DWORD n = ::GetEnvironmentVariableW(name, &buffer[0], static_cast<DWORD>(buffer.size()));
        if (n == 0)
            return false;
        if (n < buffer.size()) {
            pValue->assign(buffer.data(), n);
            return true;
        }
        buffer.assign(n, L'\0');  // n counts the terminating null when the buffer was short
    }
}

bool ParseShard(const std::wstring& text, const EnvironmentLookup& environment, Shard* pShard, std::wstring* pError)
{
    if (text == L"auto")
        return ParseAuto(0, environment, pShard, pError);
    if (text.rfind(L"auto/", 0) == 0) {
        long long n = 0;
        if (!ParseWholeNumber(text.substr(5), &n) || n < 1 || n > kMaxShards) {
            *pError = L"--shard \"" + text + L"\": expected auto/N with N from 1 to 1000000";
            return false;
        }
        return ParseAuto(n, environment, pShard, pError);
    }
    if (ParseGiven(text, pShard))
        return true;
    *pError = L"--shard \"" + text + L"\": expected K/N with 1 <= K <= N (e.g. 2/8), auto (a Slurm array) or "
              L"auto/N (a Kubernetes Indexed Job or an AWS Batch array job of N tasks)";
    return false;
}
